#include "com/control_base.h"

#include <map>
#include <new>

#include "com/ambient.h"
#include "com/server_module.h"
#include "persist/bag_stream.h"
#include "ui/twips.h"
#include "win/scoped_gdi.h"

namespace svctune::com {

namespace {

constexpr int kHimetricPerInch = 2540;

LONG TwipsToHimetric(LONG twips) {
  return MulDiv(twips, kHimetricPerInch, kTwipsPerInch);
}
LONG HimetricToTwips(LONG himetric) {
  return MulDiv(himetric, kTwipsPerInch, kHimetricPerInch);
}

// Live windows per window class, so a class is unregistered with its last window and the
// module never leaves a class behind that points into an unloaded DLL.
std::map<std::wstring, int>& WindowCounts() {
  static std::map<std::wstring, int> counts;
  return counts;
}

const BagKey kExtentX{L"_ExtentX", BagKind::kInt32};
const BagKey kExtentY{L"_ExtentY", BagKind::kInt32};

}  // namespace

EventArguments& EventArguments::Short(short& value) {
  VARIANTARG argument;
  VariantInit(&argument);
  argument.vt = VT_BYREF | VT_I2;
  argument.piVal = &value;
  arguments_.push_back(argument);
  return *this;
}

EventArguments& EventArguments::Float(float& value) {
  VARIANTARG argument;
  VariantInit(&argument);
  argument.vt = VT_BYREF | VT_R4;
  argument.pfltVal = &value;
  arguments_.push_back(argument);
  return *this;
}

VARIANTARG* EventArguments::Reversed() {
  reversed_.assign(arguments_.rbegin(), arguments_.rend());
  return reversed_.empty() ? nullptr : reversed_.data();
}

ControlBase::ControlBase(const ControlClass& controlClass)
    : class_(controlClass),
      events_(this, *controlClass.eventInterface),
      propertyNotify_(this, IID_IPropertyNotifySink),
      sizeTwips_(controlClass.designSizeTwips) {
  ServerModule::ObjectCreated();
  const std::wstring path = ServerModule::Path();
  if (!path.empty()) {
    LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLib_.Receive());
  }
  ambient_ = ReadAmbientInfo(nullptr);
}

ControlBase::~ControlBase() {
  DestroyControlWindow();
  events_.Clear();
  propertyNotify_.Clear();
  ServerModule::ObjectDestroyed();
}

HRESULT ControlBase::QueryControlInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IOleObject)) {
    *object = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
    *object = static_cast<IOleInPlaceObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
    *object = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleControl)) {
    *object = static_cast<IOleControl*>(this);
  } else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) {
    *object = static_cast<IViewObject2*>(this);
  } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistPropertyBag)) {
    *object = static_cast<IPersistPropertyBag*>(this);
  } else if (IsEqualIID(iid, IID_IPersistStreamInit)) {
    *object = static_cast<IPersistStreamInit*>(this);
  } else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2)) {
    *object = static_cast<IProvideClassInfo2*>(this);
  } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*object)->AddRef();
  return S_OK;
}

// ---- IOleObject -------------------------------------------------------------------------

HRESULT ControlBase::SetClientSite(IOleClientSite* site) {
  clientSite_ = ComPtr<IOleClientSite>(site);
  RefreshAmbient();
  return S_OK;
}

HRESULT ControlBase::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) {
    return E_POINTER;
  }
  *site = clientSite_.get();
  if (*site != nullptr) {
    (*site)->AddRef();
  }
  return S_OK;
}

HRESULT ControlBase::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) {
    adviseHolder_->SendOnClose();
  }
  return S_OK;
}

HRESULT ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                            LPCRECT position) {
  if (site != nullptr && !clientSite_) {
    SetClientSite(site);
  }
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return InPlaceActivate(verb, parent, position);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (window_ != nullptr) {
        ShowWindow(window_, SW_HIDE);
      }
      return S_OK;
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

HRESULT ControlBase::EnumVerbs(IEnumOLEVERB** verbs) {
  return OleRegEnumVerbs(*class_.clsid, verbs);
}

HRESULT ControlBase::GetUserClassID(CLSID* clsid) {
  return GetClassID(clsid);
}

HRESULT ControlBase::GetUserType(DWORD form, LPOLESTR* type) {
  return OleRegGetUserType(*class_.clsid, form, type);
}

HRESULT ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) {
    return DV_E_DVASPECT;
  }
  if (size == nullptr) {
    return E_POINTER;
  }
  return ApplySize(ConstrainSize(SIZE{HimetricToTwips(size->cx), HimetricToTwips(size->cy)}));
}

HRESULT ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) {
    return DV_E_DVASPECT;
  }
  if (size == nullptr) {
    return E_POINTER;
  }
  size->cx = TwipsToHimetric(sizeTwips_.cx);
  size->cy = TwipsToHimetric(sizeTwips_.cy);
  return S_OK;
}

HRESULT ControlBase::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!adviseHolder_) {
    const HRESULT created = CreateOleAdviseHolder(adviseHolder_.Receive());
    if (FAILED(created)) {
      return created;
    }
  }
  return adviseHolder_->Advise(sink, cookie);
}

HRESULT ControlBase::Unadvise(DWORD cookie) {
  return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT ControlBase::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise == nullptr) {
    return E_POINTER;
  }
  *advise = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advise) : S_OK;
}

HRESULT ControlBase::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (status == nullptr) {
    return E_POINTER;
  }
  *status = aspect == DVASPECT_CONTENT ? class_.miscStatus : 0;
  return S_OK;
}

// ---- In-place activation ----------------------------------------------------------------

HRESULT ControlBase::InPlaceActivate(LONG verb, HWND, LPCRECT) {
  if (!inPlaceActive_) {
    if (!clientSite_) {
      return E_UNEXPECTED;
    }
    ComPtr<IOleInPlaceSite> site = clientSite_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) {
      return E_NOINTERFACE;
    }
    if (site->CanInPlaceActivate() != S_OK) {
      return E_FAIL;
    }
    HWND parent = nullptr;
    if (FAILED(site->GetWindow(&parent)) || parent == nullptr) {
      return E_FAIL;
    }
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    if (FAILED(site->GetWindowContext(frame.Receive(), document.Receive(), &position, &clip,
                                      &frameInfo))) {
      return E_FAIL;
    }
    if (!RegisterWindowClass(class_.windowClass)) {
      return E_FAIL;
    }
    HWND window = CreateWindowExW(
        0, class_.windowClass, L"", WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
        position.left, position.top, position.right - position.left, position.bottom - position.top,
        parent, nullptr, ServerModule::Instance(), this);
    if (window == nullptr) {
      UnregisterWindowClass(class_.windowClass);
      return E_FAIL;
    }
    window_ = window;
    inPlaceSite_ = site;
    frame_ = frame;
    document_ = document;
    inPlaceActive_ = true;
    site->OnInPlaceActivate();
    ApplySize(SIZE{PixelsToTwips(position.right - position.left),
                   PixelsToTwips(position.bottom - position.top)});
    OnWindowCreated(window_);
    ShowWindow(window_, SW_SHOWNA);
  }
  if (verb == OLEIVERB_UIACTIVATE) {
    TakeFocus();
  }
  return S_OK;
}

HRESULT ControlBase::InPlaceDeactivate() {
  if (!inPlaceActive_) {
    return S_OK;
  }
  UIDeactivate();
  DestroyControlWindow();
  inPlaceActive_ = false;
  ComPtr<IOleInPlaceSite> site = inPlaceSite_;
  inPlaceSite_.Reset();
  frame_.Reset();
  document_.Reset();
  if (site) {
    site->OnInPlaceDeactivate();
  }
  return S_OK;
}

void ControlBase::DestroyControlWindow() {
  if (window_ == nullptr) {
    return;
  }
  HWND window = window_;
  OnWindowDestroying(window);
  // From here the window's messages no longer reach this object, which may be on its way out.
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  window_ = nullptr;
  UnregisterWindowClass(class_.windowClass);
}

HRESULT ControlBase::UIDeactivate() {
  if (!uiActive_) {
    return S_OK;
  }
  uiActive_ = false;
  if (frame_) {
    frame_->SetActiveObject(nullptr, nullptr);
  }
  if (document_) {
    document_->SetActiveObject(nullptr, nullptr);
  }
  if (inPlaceSite_) {
    inPlaceSite_->OnUIDeactivate(FALSE);
  }
  return S_OK;
}

void ControlBase::TakeFocus() {
  if (!inPlaceActive_) {
    return;
  }
  if (!uiActive_) {
    uiActive_ = true;
    if (inPlaceSite_) {
      inPlaceSite_->OnUIActivate();
    }
    if (frame_) {
      frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    }
    if (document_) {
      document_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    }
  }
  // A control made of real child windows keeps the focus where it is among them.
  const HWND focus = GetFocus();
  if (window_ != nullptr && focus != window_ && (focus == nullptr || !IsChild(window_, focus))) {
    SetFocus(window_);
  }
}

HRESULT ControlBase::GetWindow(HWND* window) {
  if (window == nullptr) {
    return E_POINTER;
  }
  *window = window_;
  return window_ != nullptr ? S_OK : E_FAIL;
}

HRESULT ControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
  if (position == nullptr) {
    return E_POINTER;
  }
  // The window moves first: a layout may ask the container for another size, which moves it
  // again. A size the layout refuses puts the window back where it was.
  RECT previous{};
  auto* corners = reinterpret_cast<POINT*>(&previous);
  const bool placed = window_ != nullptr && GetWindowRect(window_, &previous) &&
                      ScreenToClient(GetParent(window_), &corners[0]) &&
                      ScreenToClient(GetParent(window_), &corners[1]);
  if (window_ != nullptr) {
    MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  }
  const HRESULT laidOut = ApplySize(SIZE{PixelsToTwips(position->right - position->left),
                                         PixelsToTwips(position->bottom - position->top)});
  if (FAILED(laidOut) && placed) {
    MoveWindow(window_, previous.left, previous.top, previous.right - previous.left,
               previous.bottom - previous.top, TRUE);
  }
  return laidOut;
}

HRESULT ControlBase::ApplySize(SIZE sizeTwips) {
  const SIZE previous = sizeTwips_;
  sizeTwips_ = sizeTwips;
  const HRESULT laidOut = OnResize(sizeTwips.cx, sizeTwips.cy);
  if (FAILED(laidOut)) {
    sizeTwips_ = previous;
    return laidOut;
  }
  Invalidate();
  return S_OK;
}

// ---- Keyboard ----------------------------------------------------------------------------

UINT ControlBase::DialogCode(const MSG* asked) const {
  UINT code = WantsCharacters() ? DLGC_WANTCHARS : 0;
  if (HandlesKey(VK_LEFT) || HandlesKey(VK_RIGHT) || HandlesKey(VK_UP) || HandlesKey(VK_DOWN)) {
    code |= DLGC_WANTARROWS;
  }
  if (asked != nullptr && (asked->message == WM_KEYDOWN || asked->message == WM_KEYUP) &&
      HandlesKey(asked->wParam)) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

HRESULT ControlBase::TranslateAccelerator(LPMSG message) {
  // The container offers every key first to the active control: it takes the keys it uses,
  // and the container does its dialog navigation with the rest.
  if (message == nullptr || window_ == nullptr || message->hwnd != window_ ||
      (message->message != WM_KEYDOWN && message->message != WM_KEYUP) ||
      !HandlesKey(message->wParam)) {
    return S_FALSE;
  }
  TranslateMessage(message);
  DispatchMessageW(message);
  return S_OK;
}

void ControlBase::RequestSize(SIZE sizeTwips) {
  if (inPlaceSite_ && window_ != nullptr) {
    RECT position{};
    GetWindowRect(window_, &position);
    MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&position), 2);
    const int width = TwipsToPixels(sizeTwips.cx);
    const int height = TwipsToPixels(sizeTwips.cy);
    // Sizes are asked for in whole pixels; a request already met, or one made while the
    // container is answering the last, changes nothing.
    if (requestingSize_ ||
        (position.right - position.left == width && position.bottom - position.top == height)) {
      return;
    }
    position.right = position.left + width;
    position.bottom = position.top + height;
    requestingSize_ = true;
    inPlaceSite_->OnPosRectChange(&position);
    requestingSize_ = false;
    return;
  }
  sizeTwips_ = sizeTwips;
}

// ---- IOleControl ------------------------------------------------------------------------

HRESULT ControlBase::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT ControlBase::OnAmbientPropertyChange(DISPID dispid) {
  RefreshAmbient();
  OnAmbientChanged(dispid);
  Invalidate();
  return S_OK;
}

HRESULT ControlBase::FreezeEvents(BOOL freeze) {
  frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0);
  return S_OK;
}

void ControlBase::RefreshAmbient() {
  ambient_ = ReadAmbientInfo(clientSite_.get());
}

// ---- IViewObject2 -----------------------------------------------------------------------

HRESULT ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                          LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) {
    return DV_E_DVASPECT;
  }
  if (dc == nullptr || bounds == nullptr) {
    return E_INVALIDARG;
  }
  const RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  Paint(dc, area);
  return S_OK;
}

HRESULT ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAspects_ = aspects;
  viewFlags_ = flags;
  viewSink_ = ComPtr<IAdviseSink>(sink);
  return S_OK;
}

HRESULT ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) {
    *aspects = viewAspects_;
  }
  if (flags != nullptr) {
    *flags = viewFlags_;
  }
  if (sink != nullptr) {
    *sink = viewSink_.get();
    if (*sink != nullptr) {
      (*sink)->AddRef();
    }
  }
  return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

void ControlBase::Invalidate() {
  if (window_ != nullptr) {
    InvalidateRect(window_, nullptr, FALSE);
  } else if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT) != 0) {
    viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  }
}

// ---- Persistence ------------------------------------------------------------------------

HRESULT ControlBase::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) {
    return E_POINTER;
  }
  *clsid = *class_.clsid;
  return S_OK;
}

HRESULT ControlBase::InitNew() {
  if (loaded_) {
    return E_UNEXPECTED;
  }
  loaded_ = true;
  RefreshAmbient();
  InitProperties(ambient_);
  dirty_ = false;
  return S_OK;
}

HRESULT ControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
  if (bag == nullptr) {
    return E_POINTER;
  }
  if (loaded_) {
    return E_UNEXPECTED;
  }
  loaded_ = true;
  RefreshAmbient();
  std::vector<BagKey> keys = BagKeys();
  keys.push_back(kExtentX);
  keys.push_back(kExtentY);
  const PropertyBag values = ReadBag(bag, log, keys);
  ReadProperties(values, ambient_);
  const HRESULT objects = LoadObjects(bag, log);
  const std::int32_t extentX = values.Read<std::int32_t>(kExtentX.name, 0);
  const std::int32_t extentY = values.Read<std::int32_t>(kExtentY.name, 0);
  if (extentX > 0 && extentY > 0 && window_ == nullptr) {
    ApplySize(ConstrainSize(SIZE{HimetricToTwips(extentX), HimetricToTwips(extentY)}));
  }
  dirty_ = false;
  return FAILED(objects) ? objects : S_OK;
}

HRESULT ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (bag == nullptr) {
    return E_POINTER;
  }
  PropertyBag values;
  values.Put(kExtentX.name, static_cast<std::int32_t>(TwipsToHimetric(sizeTwips_.cx)));
  values.Put(kExtentY.name, static_cast<std::int32_t>(TwipsToHimetric(sizeTwips_.cy)));
  WriteProperties(values, ambient_);
  std::vector<BagKey> keys{kExtentX, kExtentY};
  keys.insert(keys.end(), BagKeys().begin(), BagKeys().end());
  HRESULT written = WriteBag(bag, values, keys);
  if (SUCCEEDED(written)) {
    written = SaveObjects(bag);
  }
  if (SUCCEEDED(written) && clearDirty) {
    dirty_ = false;
  }
  return written;
}

HRESULT ControlBase::Load(LPSTREAM stream) {
  if (stream == nullptr) {
    return E_POINTER;
  }
  if (loaded_) {
    return E_UNEXPECTED;
  }
  std::uint32_t length = 0;
  ULONG read = 0;
  if (FAILED(stream->Read(&length, sizeof length, &read)) || read != sizeof length ||
      length > (1u << 24)) {
    return E_FAIL;
  }
  std::vector<std::uint8_t> bytes(length);
  if (length > 0 && (FAILED(stream->Read(bytes.data(), length, &read)) || read != length)) {
    return E_FAIL;
  }
  std::optional<PropertyBag> values = DecodeBag(bytes.data(), bytes.size());
  if (!values) {
    return E_FAIL;
  }
  loaded_ = true;
  RefreshAmbient();
  ReadProperties(*values, ambient_);
  const std::int32_t extentX = values->Read<std::int32_t>(kExtentX.name, 0);
  const std::int32_t extentY = values->Read<std::int32_t>(kExtentY.name, 0);
  if (extentX > 0 && extentY > 0 && window_ == nullptr) {
    ApplySize(ConstrainSize(SIZE{HimetricToTwips(extentX), HimetricToTwips(extentY)}));
  }
  const HRESULT objects = LoadObjects(stream);
  dirty_ = false;
  return FAILED(objects) ? objects : S_OK;
}

HRESULT ControlBase::Save(LPSTREAM stream, BOOL clearDirty) {
  if (stream == nullptr) {
    return E_POINTER;
  }
  PropertyBag values;
  values.Put(kExtentX.name, static_cast<std::int32_t>(TwipsToHimetric(sizeTwips_.cx)));
  values.Put(kExtentY.name, static_cast<std::int32_t>(TwipsToHimetric(sizeTwips_.cy)));
  WriteProperties(values, ambient_);
  const std::vector<std::uint8_t> bytes = EncodeBag(values);
  const std::uint32_t length = static_cast<std::uint32_t>(bytes.size());
  ULONG written = 0;
  HRESULT result = stream->Write(&length, sizeof length, &written);
  if (SUCCEEDED(result) && length > 0) {
    result = stream->Write(bytes.data(), length, &written);
  }
  if (SUCCEEDED(result)) {
    result = SaveObjects(stream);
  }
  if (SUCCEEDED(result) && clearDirty) {
    dirty_ = false;
  }
  return result;
}

HRESULT ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) {
    return E_POINTER;
  }
  size->QuadPart = 0;
  // The exact size: what Save would write now.
  ComPtr<IStream> scratch;
  HRESULT result = CreateStreamOnHGlobal(nullptr, TRUE, scratch.Receive());
  if (SUCCEEDED(result)) {
    result = Save(scratch.get(), FALSE);
  }
  STATSTG status{};
  if (SUCCEEDED(result)) {
    result = scratch->Stat(&status, STATFLAG_NONAME);
  }
  if (SUCCEEDED(result)) {
    size->QuadPart = status.cbSize.QuadPart;
  }
  return result;
}

// ---- Class information and connection points ---------------------------------------------

HRESULT ControlBase::GetClassInfo(ITypeInfo** info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  *info = nullptr;
  return typeLib_ ? typeLib_->GetTypeInfoOfGuid(*class_.clsid, info) : E_UNEXPECTED;
}

HRESULT ControlBase::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) {
    return E_POINTER;
  }
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = *class_.eventInterface;
  return S_OK;
}

HRESULT ControlBase::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return CreateConnectionPointEnumerator({&events_, &propertyNotify_}, points);
}

HRESULT ControlBase::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, events_.Iid())) {
    *point = &events_;
  } else if (IsEqualIID(iid, IID_IPropertyNotifySink)) {
    *point = &propertyNotify_;
  } else {
    *point = nullptr;
    return CONNECT_E_NOCONNECTION;
  }
  (*point)->AddRef();
  return S_OK;
}

void ControlBase::Fire(DISPID dispid, EventArguments& arguments) {
  if (frozen_ > 0) {
    return;
  }
  // A handler may release the control (closing its window); keep it alive until we return.
  ComPtr<IUnknown> self(Identity());
  events_.Fire(dispid, arguments.Reversed(), arguments.Count());
}

void ControlBase::Fire(DISPID dispid) {
  EventArguments none;
  Fire(dispid, none);
}

void ControlBase::FireMouse(DISPID dispid, short& button, short& shift, float& x, float& y) {
  EventArguments arguments;
  arguments.Short(button).Short(shift).Float(x).Float(y);
  Fire(dispid, arguments);
}

void ControlBase::PropertyChanged(std::wstring_view name) {
  dirty_ = true;
  DISPID dispid = DISPID_UNKNOWN;
  ComPtr<ITypeInfo> info;
  if (typeLib_ &&
      SUCCEEDED(typeLib_->GetTypeInfoOfGuid(*class_.defaultInterface, info.Receive()))) {
    std::wstring text(name);
    LPOLESTR names[] = {&text[0]};
    info->GetIDsOfNames(names, 1, &dispid);
  }
  propertyNotify_.NotifyChanged(dispid);
}

// ---- Window ------------------------------------------------------------------------------

bool ControlBase::RegisterWindowClass(const wchar_t* name) {
  int& count = WindowCounts()[name];
  if (count == 0) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &ControlBase::WindowProc;
    windowClass.hInstance = ServerModule::Instance();
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      return false;
    }
  }
  ++count;
  return true;
}

void ControlBase::UnregisterWindowClass(const wchar_t* name) {
  int& count = WindowCounts()[name];
  if (count > 0 && --count == 0) {
    UnregisterClassW(name, ServerModule::Instance());
  }
}

LRESULT CALLBACK ControlBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<ControlBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  // An event handler may release the control (its host closing); it lives until we return.
  ComPtr<IUnknown> keepAlive(control->Identity());
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_PAINT) {
    win::PaintScope paint(window);
    RECT client{};
    GetClientRect(window, &client);
    win::ScopedMemoryDc memory(CreateCompatibleDC(paint.dc()));
    win::ScopedBitmap bitmap(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (memory && bitmap) {
      win::SelectedObject selected(memory.get(), bitmap.get());
      control->Paint(memory.get(), client);
      BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    } else {
      control->Paint(paint.dc(), client);
    }
    return 0;
  }
  if (message == WM_ERASEBKGND) {
    return 1;
  }
  if (message == WM_MOUSEACTIVATE) {
    control->TakeFocus();
    return MA_ACTIVATE;
  }
  if (message == WM_GETDLGCODE) {
    return control->DialogCode(reinterpret_cast<const MSG*>(lParam));
  }
  if (message == WM_SETFOCUS) {
    // Tabbed onto: the control becomes the container's active object, which is offered the keys.
    control->TakeFocus();
  }
  bool handled = false;
  const LRESULT result = control->OnMessage(window, message, wParam, lParam, handled);
  return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace svctune::com
