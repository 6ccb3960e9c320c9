#pragma once

#include <ocidl.h>

#include <vector>

#include "com/com_ptr.h"

namespace svctune::com {

// One outgoing interface of an object: the sinks advised on it, by cookie. The point lives
// inside its container and shares the container's reference count.
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid)
      : container_(container), iid_(iid) {}
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

  const IID& Iid() const { return iid_; }
  // The sinks at this moment, each with its own reference, so that a handler that unadvises
  // (or releases the object) while an event runs cannot pull a sink from under the caller.
  std::vector<ComPtr<IUnknown>> Sinks() const;
  // Invokes dispid on every IDispatch sink. Arguments are in DISPPARAMS order (last first).
  void Fire(DISPID dispid, VARIANTARG* arguments, UINT count) const;
  // IPropertyNotifySink::OnChanged on every sink.
  void NotifyChanged(DISPID dispid) const;
  void Clear();

 private:
  struct Connection {
    DWORD cookie;
    IUnknown* sink;
  };
  IConnectionPointContainer* container_;
  IID iid_;
  std::vector<Connection> connections_;
  DWORD nextCookie_ = 1;
};

// Enumerates a fixed list of connection points.
HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out);

}  // namespace svctune::com
