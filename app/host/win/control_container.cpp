#include "win/control_container.h"

#include <olectl.h>

#include <algorithm>
#include <new>

#include "com/ole_font.h"
#include "ui/twips.h"
#include "win/bag_adapter.h"
#include "win/dispatch_call.h"

namespace svctune::host {

// The site of one control: client site, in-place site (with a minimal in-place frame), control
// site, ambient properties and the receiver of property-change notices.
class ControlSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleInPlaceFrame,
                          public IOleControlSite,
                          public IDispatch,
                          public IPropertyNotifySink {
 public:
  ControlSite(HWND host, const RECT& rect, std::wstring name, const AmbientSettings& ambient)
      : host_(host), rect_(rect), name_(std::move(name)), ambient_(ambient) {}

  void Attach(IOleObject* object) {
    inPlaceObject_ = com::ComPtr<IOleObject>(object).As<IOleInPlaceObject>(IID_IOleInPlaceObject);
  }
  void Detach() { inPlaceObject_.Reset(); }
  const RECT& Rect() const { return rect_; }
  void SetRect(const RECT& rect) {
    rect_ = rect;
    if (inPlaceObject_) {
      inPlaceObject_->SetObjectRects(&rect_, &rect_);
    }
  }
  bool Modified() const { return modified_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow)) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(iid, IID_IOleControlSite)) {
      *object = static_cast<IOleControlSite*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, IID_IPropertyNotifySink)) {
      *object = static_cast<IPropertyNotifySink*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) {
      *moniker = nullptr;
    }
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container != nullptr) {
      *container = nullptr;
    }
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) {
      return E_POINTER;
    }
    *window = host_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                             IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        info == nullptr) {
      return E_POINTER;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = rect_;
    *clip = rect_;
    info->fMDIApp = FALSE;
    info->hwndFrame = host_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override {
    if (position == nullptr) {
      return E_POINTER;
    }
    SetRect(*position);
    return S_OK;
  }

  // IOleInPlaceUIWindow, IOleInPlaceFrame: the host window has no tool space or menus.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
    return INPLACE_E_NOTOOLSPACE;
  }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** extended) override {
    if (extended != nullptr) {
      *extended = nullptr;
    }
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) {
      *info = nullptr;
    }
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if ((flags & DISPATCH_PROPERTYGET) == 0) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (result == nullptr) {
      return E_POINTER;
    }
    VariantInit(result);
    switch (dispid) {
      case DISPID_AMBIENT_USERMODE:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
      case DISPID_AMBIENT_FONT: {
        com::ComPtr<IFontDisp> font = com::CreateFontObject(ambient_.font);
        if (!font) {
          return E_OUTOFMEMORY;
        }
        result->vt = VT_DISPATCH;
        result->pdispVal = font.Detach();
        return S_OK;
      }
      case DISPID_AMBIENT_BACKCOLOR:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(ambient_.backColour);
        return S_OK;
      case DISPID_AMBIENT_DISPLAYNAME:
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
        return S_OK;
      case DISPID_AMBIENT_LOCALEID:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  // IPropertyNotifySink
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override {
    modified_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

 private:
  ~ControlSite() = default;

  LONG references_ = 1;
  HWND host_;
  RECT rect_;
  std::wstring name_;
  AmbientSettings ambient_;
  com::ComPtr<IOleInPlaceObject> inPlaceObject_;
  bool modified_ = false;
};

namespace {

SIZEL PixelsToHimetric(const RECT& rect) {
  return SIZEL{MulDiv(rect.right - rect.left, 2540, 96), MulDiv(rect.bottom - rect.top, 2540, 96)};
}

// The source dispinterface of a control's class, from its class information.
com::ComPtr<ITypeInfo> EventTypeInfo(IUnknown* object) {
  com::ComPtr<IProvideClassInfo> provider;
  com::ComPtr<ITypeInfo> coclass;
  if (object == nullptr ||
      FAILED(object->QueryInterface(IID_IProvideClassInfo, provider.ReceiveVoid())) ||
      FAILED(provider->GetClassInfo(coclass.Receive()))) {
    return com::ComPtr<ITypeInfo>();
  }
  TYPEATTR* attributes = nullptr;
  if (FAILED(coclass->GetTypeAttr(&attributes))) {
    return com::ComPtr<ITypeInfo>();
  }
  const UINT count = attributes->cImplTypes;
  coclass->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    com::ComPtr<ITypeInfo> source;
    if (SUCCEEDED(coclass->GetImplTypeFlags(i, &flags)) && (flags & IMPLTYPEFLAG_FSOURCE) != 0 &&
        (flags & IMPLTYPEFLAG_FDEFAULT) != 0 &&
        SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference)) &&
        SUCCEEDED(coclass->GetRefTypeInfo(reference, source.Receive()))) {
      return source;
    }
  }
  return com::ComPtr<ITypeInfo>();
}

void Report(std::wstring* error, HRESULT* result, const std::wstring& message, HRESULT code) {
  if (error != nullptr) {
    *error = message;
  }
  if (result != nullptr) {
    *result = code;
  }
}

}  // namespace

// ---- HostedControl ----------------------------------------------------------------------

HostedControl::~HostedControl() {
  TearDown();
}

void HostedControl::TearDown() {
  if (events_) {
    events_->ClearHandlers();
  }
  if (eventPoint_) {
    eventPoint_->Unadvise(eventCookie_);
    eventPoint_.Reset();
  }
  if (notifyPoint_) {
    notifyPoint_->Unadvise(notifyCookie_);
    notifyPoint_.Reset();
  }
  if (site_) {
    site_->Detach();
  }
  if (object_) {
    com::ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    if (inPlace) {
      inPlace->InPlaceDeactivate();
    }
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  dispatch_.Reset();
  object_.Reset();
  events_.Reset();
  site_.Reset();
}

HWND HostedControl::Window() const {
  com::ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
  HWND window = nullptr;
  if (!inPlace || FAILED(inPlace->GetWindow(&window))) {
    return nullptr;
  }
  return window;
}

HRESULT HostedControl::Get(const wchar_t* name, com::Variant& value, std::wstring* error) const {
  return GetProperty(dispatch_.get(), name, value, error);
}

HRESULT HostedControl::Put(const wchar_t* name, const VARIANT& value, std::wstring* error) {
  return PutProperty(dispatch_.get(), name, value, error);
}

HRESULT HostedControl::PutRef(const wchar_t* name, IDispatch* value, std::wstring* error) {
  return PutRefProperty(dispatch_.get(), name, value, error);
}

HRESULT HostedControl::Call(const wchar_t* name, std::vector<VARIANT> arguments,
                            com::Variant* result, std::wstring* error) {
  return CallMethod(dispatch_.get(), name, std::move(arguments), result, error);
}

HRESULT HostedControl::PutText(const wchar_t* name, const std::wstring& text) {
  com::Bstr value(text);
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = value.get();
  return Put(name, argument);
}

HRESULT HostedControl::PutLong(const wchar_t* name, long value) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  argument.lVal = value;
  return Put(name, argument);
}

std::optional<std::wstring> HostedControl::GetText(const wchar_t* name) const {
  com::Variant value;
  if (FAILED(Get(name, value)) || !value.ChangeTo(VT_BSTR)) {
    return std::nullopt;
  }
  return com::ToString(value->bstrVal);
}

std::optional<long> HostedControl::GetLong(const wchar_t* name) const {
  com::Variant value;
  if (FAILED(Get(name, value)) || !value.ChangeTo(VT_I4)) {
    return std::nullopt;
  }
  return value->lVal;
}

bool HostedControl::On(const wchar_t* eventName, EventHandler handler) {
  com::ComPtr<ITypeInfo> source = EventTypeInfo(object_.get());
  LPOLESTR names[] = {const_cast<LPOLESTR>(eventName)};
  DISPID dispid = DISPID_UNKNOWN;
  if (!source || FAILED(source->GetIDsOfNames(names, 1, &dispid))) {
    return false;
  }
  On(dispid, std::move(handler));
  return true;
}

void HostedControl::On(DISPID dispid, EventHandler handler) {
  if (events_) {
    events_->Set(dispid, std::move(handler));
  }
}

void HostedControl::Move(const RECT& rect) {
  if (!site_) {
    return;
  }
  SIZEL extent = PixelsToHimetric(rect);
  object_->SetExtent(DVASPECT_CONTENT, &extent);
  site_->SetRect(rect);
}

std::optional<PropertyBag> HostedControl::Save() const {
  com::ComPtr<IPersistPropertyBag> persist =
      object_.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  if (!persist) {
    return std::nullopt;
  }
  com::ComPtr<BagAdapter> bag = com::ComPtr<BagAdapter>::Adopt(BagAdapter::Create(PropertyBag{}));
  if (!bag || FAILED(persist->Save(bag.get(), FALSE, TRUE))) {
    return std::nullopt;
  }
  return bag->Values();
}

bool HostedControl::Modified() const {
  return site_ && site_->Modified();
}

// ---- ControlContainer -------------------------------------------------------------------

ControlContainer::ControlContainer(HWND host, AmbientSettings ambient)
    : host_(host), ambient_(std::move(ambient)) {}

ControlContainer::~ControlContainer() {
  DestroyAll();
}

HostedControl* ControlContainer::Create(const ControlSettings& settings, const RECT& rect,
                                        std::wstring* error, HRESULT* result) {
  CLSID clsid{};
  HRESULT outcome = CLSIDFromProgID(settings.progId.c_str(), &clsid);
  if (FAILED(outcome)) {
    Report(error, result, MissingControlMessage(settings.progId), outcome);
    return nullptr;
  }
  std::unique_ptr<HostedControl> control(new (std::nothrow) HostedControl());
  if (!control) {
    Report(error, result, FailedControlMessage(settings.progId, E_OUTOFMEMORY), E_OUTOFMEMORY);
    return nullptr;
  }
  control->name_ = settings.name;
  control->progId_ = settings.progId;
  outcome = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                             control->object_.ReceiveVoid());
  if (FAILED(outcome)) {
    const bool missing = outcome == REGDB_E_CLASSNOTREG || outcome == CO_E_DLLNOTFOUND ||
                         outcome == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    Report(error, result,
           missing ? MissingControlMessage(settings.progId)
                   : FailedControlMessage(settings.progId, outcome),
           outcome);
    return nullptr;
  }
  control->site_ = com::ComPtr<ControlSite>::Adopt(
      new (std::nothrow) ControlSite(host_, rect, settings.name, ambient_));
  if (!control->site_) {
    Report(error, result, FailedControlMessage(settings.progId, E_OUTOFMEMORY), E_OUTOFMEMORY);
    return nullptr;
  }
  const auto fail = [&](HRESULT code) {
    Report(error, result, FailedControlMessage(settings.progId, code), code);
    return nullptr;
  };
  outcome = control->object_->SetClientSite(control->site_.get());
  if (FAILED(outcome)) {
    return fail(outcome);
  }
  com::ComPtr<IPersistPropertyBag> persistBag =
      control->object_.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  if (persistBag && settings.bag.size() > 0) {
    com::ComPtr<BagAdapter> bag = com::ComPtr<BagAdapter>::Adopt(BagAdapter::Create(settings.bag));
    outcome = bag ? persistBag->Load(bag.get(), nullptr) : E_OUTOFMEMORY;
  } else if (persistBag) {
    outcome = persistBag->InitNew();
  } else {
    com::ComPtr<IPersistStreamInit> persistStream =
        control->object_.As<IPersistStreamInit>(IID_IPersistStreamInit);
    outcome = persistStream ? persistStream->InitNew() : S_OK;
  }
  if (FAILED(outcome)) {
    return fail(outcome);
  }
  control->dispatch_ = control->object_.As<IDispatch>(IID_IDispatch);
  if (!control->dispatch_) {
    return fail(E_NOINTERFACE);
  }

  com::ComPtr<IConnectionPointContainer> points =
      control->object_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  com::ComPtr<IProvideClassInfo2> classInfo =
      control->object_.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
  IID eventInterface{};
  if (points && classInfo &&
      SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &eventInterface))) {
    control->events_ = com::ComPtr<EventSink>::Adopt(EventSink::Create(eventInterface));
    if (control->events_ &&
        SUCCEEDED(points->FindConnectionPoint(eventInterface, control->eventPoint_.Receive())) &&
        FAILED(control->eventPoint_->Advise(static_cast<IDispatch*>(control->events_.get()),
                                            &control->eventCookie_))) {
      control->eventPoint_.Reset();
    }
  }
  if (points &&
      SUCCEEDED(
          points->FindConnectionPoint(IID_IPropertyNotifySink, control->notifyPoint_.Receive())) &&
      FAILED(control->notifyPoint_->Advise(static_cast<IPropertyNotifySink*>(control->site_.get()),
                                           &control->notifyCookie_))) {
    control->notifyPoint_.Reset();
  }

  SIZEL extent = PixelsToHimetric(rect);
  control->object_->SetExtent(DVASPECT_CONTENT, &extent);
  control->site_->Attach(control->object_.get());
  outcome = control->object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, control->site_.get(), 0,
                                     host_, &rect);
  if (FAILED(outcome)) {
    return fail(outcome);
  }
  // Controls created later lie above those created before them (the skin first, then what
  // sits on it).
  if (HWND window = control->Window()) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (result != nullptr) {
    *result = S_OK;
  }
  controls_.push_back(std::move(control));
  return controls_.back().get();
}

void ControlContainer::Destroy(HostedControl* control) {
  const auto found = std::find_if(
      controls_.begin(), controls_.end(),
      [control](const std::unique_ptr<HostedControl>& c) { return c.get() == control; });
  if (found != controls_.end()) {
    std::unique_ptr<HostedControl> doomed = std::move(*found);
    controls_.erase(found);
  }
}

void ControlContainer::DestroyAll() {
  while (!controls_.empty()) {
    std::unique_ptr<HostedControl> doomed = std::move(controls_.back());
    controls_.pop_back();
  }
}

}  // namespace svctune::host
