#pragma once

#include <oaidl.h>

#include <functional>
#include <map>

namespace svctune::host {

// The arguments of one event as the control raised them, by position in the event's
// declaration. By-reference arguments can be changed; the control sees the new values.
class EventArgs {
 public:
  explicit EventArgs(DISPPARAMS* parameters) : parameters_(parameters) {}
  unsigned Count() const { return parameters_ == nullptr ? 0 : parameters_->cArgs; }
  short Short(unsigned index) const;
  void SetShort(unsigned index, short value);
  float Float(unsigned index) const;
  void SetFloat(unsigned index, float value);

 private:
  VARIANTARG* At(unsigned index) const;
  DISPPARAMS* parameters_;
};

using EventHandler = std::function<void(EventArgs&)>;

// Receives a control's events on its source dispinterface and runs the handler registered
// for each dispatch id. Events without a handler are ignored.
class EventSink final : public IDispatch {
 public:
  static EventSink* Create(REFIID eventInterface);

  void Set(DISPID dispid, EventHandler handler) { handlers_[dispid] = std::move(handler); }
  void ClearHandlers() { handlers_.clear(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                   VARIANT*, EXCEPINFO*, UINT*) override;

 private:
  explicit EventSink(REFIID eventInterface) : interface_(eventInterface) {}
  ~EventSink() = default;

  LONG references_ = 1;
  IID interface_;
  std::map<DISPID, EventHandler> handlers_;
};

}  // namespace svctune::host
