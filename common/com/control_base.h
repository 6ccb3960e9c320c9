#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <string_view>
#include <vector>

#include "com/bag_bridge.h"
#include "com/com_ptr.h"
#include "com/connection_points.h"
#include "scene/ambient_info.h"
#include "ui/property_bag.h"

namespace svctune::com {

// What the plumbing needs to know about one control class.
struct ControlClass {
  const CLSID* clsid;
  const IID* defaultInterface;  // the dual interface, "_Button"
  const IID* eventInterface;    // the source dispinterface, "__Button"
  const GUID* libId;
  const wchar_t* windowClass;
  DWORD miscStatus;
  SIZE designSizeTwips;
};

// Event arguments by reference, in declaration order; Fire passes them as DISPPARAMS want.
class EventArguments {
 public:
  EventArguments& Short(short& value);
  EventArguments& Float(float& value);
  VARIANTARG* Reversed();
  UINT Count() const { return static_cast<UINT>(arguments_.size()); }

 private:
  std::vector<VARIANTARG> arguments_;
  std::vector<VARIANTARG> reversed_;
};

// The OLE control interfaces that every control of our libraries implements for standard
// containers: embedding and in-place activation of a windowed control, drawing for an
// inactive view, persistence in property bags and streams, ambient properties, connection
// points for the events and for property-change notices, and class information.
// A concrete control adds its dual interface through DualControl (below) and its behaviour
// through the virtual hooks.
class ControlBase : public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistPropertyBag,
                    public IPersistStreamInit,
                    public IProvideClassInfo2,
                    public IConnectionPointContainer {
 public:
  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                   LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispid) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                 LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                 ULONG_PTR) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                        LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

  // IPersist, IPersistPropertyBag, IPersistStreamInit
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 protected:
  explicit ControlBase(const ControlClass& controlClass);
  virtual ~ControlBase();
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  // The interfaces above, for the concrete class's QueryInterface.
  HRESULT QueryControlInterface(REFIID iid, void** object);
  IUnknown* Identity() { return static_cast<IOleObject*>(this); }
  // The type library of the module and the dispatch type info of the default interface.
  ITypeLib* TypeLib() const { return typeLib_.get(); }

  // Hooks of the concrete control.
  virtual const std::vector<BagKey>& BagKeys() const = 0;
  virtual void InitProperties(const scene::AmbientInfo& ambient) = 0;
  virtual void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) = 0;
  virtual void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) = 0;
  // Object-valued properties that a PropertyBag cannot hold (pictures).
  virtual HRESULT LoadObjects(IPropertyBag*, IErrorLog*) { return S_OK; }
  virtual HRESULT SaveObjects(IPropertyBag*) { return S_OK; }
  virtual HRESULT LoadObjects(IStream*) { return S_OK; }
  virtual HRESULT SaveObjects(IStream*) { return S_OK; }
  // The size (twips) changed: lay the children out. A size the control's fields cannot hold is
  // refused with the error the host sees (CTL_E_OVERFLOW); the control then keeps its state.
  virtual HRESULT OnResize(int widthTwips, int heightTwips) = 0;
  // The smallest size the control accepts (twips); larger requests pass unchanged.
  virtual SIZE ConstrainSize(SIZE sizeTwips) const { return sizeTwips; }
  virtual void Paint(HDC dc, const RECT& bounds) = 0;
  virtual void OnWindowCreated(HWND) {}
  virtual void OnWindowDestroying(HWND) {}
  virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            bool& handled) = 0;
  virtual void OnAmbientChanged(DISPID) {}
  // The keys the control uses itself (virtual-key codes); every other key is the container's
  // (Tab, Esc, mnemonics...). WantsCharacters: the control takes WM_CHAR.
  virtual bool HandlesKey(WPARAM) const { return false; }
  virtual bool WantsCharacters() const { return false; }

  // Services for the concrete control.
  HWND Window() const { return window_; }
  IOleClientSite* ClientSite() const { return clientSite_.get(); }
  const scene::AmbientInfo& Ambient() const { return ambient_; }
  SIZE SizeTwips() const { return sizeTwips_; }
  void Invalidate();
  void Fire(DISPID dispid, EventArguments& arguments);
  void Fire(DISPID dispid);
  // The mouse events every control raises: Button, Shift, X and Y, all by reference.
  void FireMouse(DISPID dispid, short& button, short& shift, float& x, float& y);
  // The property-changed notice: marks the control modified and tells the property
  // notification sinks, by the property's dispatch id.
  void PropertyChanged(std::wstring_view name);
  // Asks the container for a new size (twips); the container answers with SetObjectRects.
  void RequestSize(SIZE sizeTwips);
  // Takes the focus and becomes the container's UI-active object.
  void TakeFocus();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static bool RegisterWindowClass(const wchar_t* name);
  static void UnregisterWindowClass(const wchar_t* name);
  HRESULT InPlaceActivate(LONG verb, HWND parent, LPCRECT position);
  HRESULT ApplySize(SIZE sizeTwips);
  UINT DialogCode(const MSG* asked) const;
  void RefreshAmbient();
  void DestroyControlWindow();

  const ControlClass& class_;
  ComPtr<ITypeLib> typeLib_;
  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> document_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  ConnectionPoint events_;
  ConnectionPoint propertyNotify_;
  scene::AmbientInfo ambient_;
  SIZE sizeTwips_;
  HWND window_ = nullptr;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool dirty_ = false;
  bool loaded_ = false;
  bool requestingSize_ = false;
  int frozen_ = 0;
};

// A concrete control: ControlBase plus its dual default interface, whose IDispatch runs on the
// type information of the library.
template <typename Dual>
class DualControl : public ControlBase, public Dual {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown)) {
      *object = Identity();
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, *controlClass_.defaultInterface)) {
      *object = static_cast<Dual*>(this);
    } else {
      return QueryControlInterface(iid, object);
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

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = dispatchInfo_ ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) {
      return E_POINTER;
    }
    *info = nullptr;
    if (index != 0 || !dispatchInfo_) {
      return DISP_E_BADINDEX;
    }
    *info = dispatchInfo_.get();
    (*info)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!dispatchInfo_) {
      return E_UNEXPECTED;
    }
    return DispGetIDsOfNames(dispatchInfo_.get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    if (!interfaceInfo_) {
      return E_UNEXPECTED;
    }
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const HRESULT invoked =
        DispInvoke(static_cast<Dual*>(this), interfaceInfo_.get(), dispid, flags,
                   parameters == nullptr ? &none : parameters, result, exception, argumentError);
    // Colours are OLE_COLOR, an unsigned 32-bit type that scripting clients cannot handle;
    // late-bound callers get the same bits as a signed 32-bit number.
    if (SUCCEEDED(invoked) && result != nullptr && result->vt == VT_UI4) {
      result->vt = VT_I4;
    }
    return invoked;
  }

 protected:
  explicit DualControl(const ControlClass& controlClass)
      : ControlBase(controlClass), controlClass_(controlClass) {
    if (TypeLib() != nullptr && SUCCEEDED(TypeLib()->GetTypeInfoOfGuid(
                                    *controlClass.defaultInterface, dispatchInfo_.Receive()))) {
      HREFTYPE vtable = 0;
      if (FAILED(dispatchInfo_->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable)) ||
          FAILED(dispatchInfo_->GetRefTypeInfo(vtable, interfaceInfo_.Receive()))) {
        interfaceInfo_ = dispatchInfo_;
      }
    }
  }

 private:
  const ControlClass& controlClass_;
  ComPtr<ITypeInfo> dispatchInfo_;
  ComPtr<ITypeInfo> interfaceInfo_;
  LONG references_ = 1;
};

}  // namespace svctune::com
