#include "com/connection_points.h"

#include <olectl.h>

#include <algorithm>
#include <new>

namespace svctune::com {

namespace {

// A COM enumerator over a snapshot of items, each holding a reference.
template <typename Base, typename Item, const IID* Iid, typename Copy>
class SnapshotEnumerator final : public Base {
 public:
  explicit SnapshotEnumerator(std::vector<Item> items, std::size_t position = 0)
      : items_(std::move(items)), position_(position) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *Iid)) {
      *object = static_cast<Base*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) {
      delete this;
    }
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Item* out, ULONG* fetched) override {
    if (out == nullptr || (wanted > 1 && fetched == nullptr)) {
      return E_POINTER;
    }
    ULONG given = 0;
    while (given < wanted && position_ < items_.size()) {
      out[given++] = Copy::Of(items_[position_++]);
    }
    if (fetched != nullptr) {
      *fetched = given;
    }
    return given == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    position_ = std::min<std::size_t>(items_.size(), position_ + count);
    return position_ < items_.size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Base** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    std::vector<Item> copies;
    for (const Item& item : items_) {
      copies.push_back(Copy::Of(item));
    }
    *out = new (std::nothrow) SnapshotEnumerator(std::move(copies), position_);
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
  }

 private:
  ~SnapshotEnumerator() {
    for (Item& item : items_) {
      Copy::Free(item);
    }
  }
  std::vector<Item> items_;
  std::size_t position_;
  long references_ = 1;
};

struct CopyPoint {
  static IConnectionPoint* Of(IConnectionPoint* point) {
    point->AddRef();
    return point;
  }
  static void Free(IConnectionPoint* point) { point->Release(); }
};

struct CopyConnection {
  static CONNECTDATA Of(const CONNECTDATA& data) {
    data.pUnk->AddRef();
    return data;
  }
  static void Free(CONNECTDATA& data) { data.pUnk->Release(); }
};

using PointEnumerator = SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*,
                                           &IID_IEnumConnectionPoints, CopyPoint>;
using ConnectionEnumerator =
    SnapshotEnumerator<IEnumConnections, CONNECTDATA, &IID_IEnumConnections, CopyConnection>;

}  // namespace

ConnectionPoint::~ConnectionPoint() {
  Clear();
}

void ConnectionPoint::Clear() {
  std::vector<Connection> connections;
  connections.swap(connections_);
  for (const Connection& connection : connections) {
    connection.sink->Release();
  }
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) {
    return E_POINTER;
  }
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = container_;
  container_->AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) {
    return E_POINTER;
  }
  *cookie = 0;
  if (sink == nullptr) {
    return E_POINTER;
  }
  IUnknown* typed = nullptr;
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&typed))) || typed == nullptr) {
    return CONNECT_E_CANNOTCONNECT;
  }
  connections_.push_back({nextCookie_, typed});
  *cookie = nextCookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  const auto found = std::find_if(connections_.begin(), connections_.end(),
                                  [cookie](const Connection& c) { return c.cookie == cookie; });
  if (found == connections_.end()) {
    return CONNECT_E_NOCONNECTION;
  }
  IUnknown* sink = found->sink;
  connections_.erase(found);
  sink->Release();
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  std::vector<CONNECTDATA> data;
  for (const Connection& connection : connections_) {
    connection.sink->AddRef();
    data.push_back({connection.sink, connection.cookie});
  }
  *out = new (std::nothrow) ConnectionEnumerator(std::move(data));
  return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
  std::vector<ComPtr<IUnknown>> sinks;
  for (const Connection& connection : connections_) {
    sinks.emplace_back(connection.sink);
  }
  return sinks;
}

void ConnectionPoint::Fire(DISPID dispid, VARIANTARG* arguments, UINT count) const {
  for (const ComPtr<IUnknown>& sink : Sinks()) {
    DISPPARAMS parameters{arguments, nullptr, count, 0};
    static_cast<IDispatch*>(sink.get())
        ->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                 nullptr, nullptr);
  }
}

void ConnectionPoint::NotifyChanged(DISPID dispid) const {
  for (const ComPtr<IUnknown>& sink : Sinks()) {
    static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(dispid);
  }
}

HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  std::vector<IConnectionPoint*> copies;
  for (IConnectionPoint* point : points) {
    copies.push_back(CopyPoint::Of(point));
  }
  *out = new (std::nothrow) PointEnumerator(std::move(copies));
  return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace svctune::com
