// Hosts the Lamina and Vellum controls in ATL's "AtlAxWin" windows without the ATL headers:
// atl.dll (part of every Windows since XP) is loaded at run time. A window whose text is a
// ProgID creates that control, activates it in place and releases it when it is destroyed.
// The skin Vellum.CorvidForm is the frame of a borderless window and a Lamina.Button lies on
// it; the program sets and reads their properties by name through IDispatch, prints what it
// read, listens to the skin's events and runs until the skin's close button is clicked.
// Exit code: 0, or the step that failed (ExitCode).
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <cstdio>
#include <memory>

namespace {

enum ExitCode : int {
  kOk = 0,
  kNoOle = 1,       // OleInitialize failed
  kNoAtl = 2,       // atl.dll, AtlAxWinInit or AtlAxGetControl is missing
  kNoWindow = 3,    // the program's own window could not be made
  kNoControl = 4,   // a control could not be created: is its library registered?
  kNoDispatch = 5,  // the control has no IDispatch
  kNoProperty = 6,  // a property could not be set or read
  kNoEvents = 7,    // the skin's events could not be connected
};

// The skin's event interface (dispinterface __CorvidForm) and its UnloadClick event.
const IID kCorvidFormEvents = {
    0xD1446085, 0xA149, 0x4BFA, {0xA9, 0x88, 0x37, 0x03, 0x2C, 0xB5, 0x94, 0xF3}};
const DISPID kUnloadClick = 1;

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

// Releases a COM object when it goes out of scope.
struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface>
using ComRef = std::unique_ptr<Interface, Releaser>;

// OLE for this thread, for the life of the program: the controls need it, not just COM.
struct OleSession {
  const HRESULT result = OleInitialize(nullptr);
  ~OleSession() {
    if (SUCCEEDED(result)) {
      OleUninitialize();
    }
  }
};

// An entry point of a loaded library, as its own function type (GetProcAddress answers a
// generic one).
template <class Function>
Function Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HRESULT IdOf(IDispatch* object, const wchar_t* name, DISPID* id) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

// object.name = value
HRESULT PutProperty(IDispatch* object, const wchar_t* name, VARIANT value) {
  DISPID id = DISPID_UNKNOWN;
  HRESULT result = IdOf(object, name, &id);
  if (FAILED(result)) {
    return result;
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS arguments{&value, &named, 1, 1};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &arguments,
                        nullptr, nullptr, nullptr);
}

// value = object.name; the caller clears the value.
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARIANT* value) {
  DISPID id = DISPID_UNKNOWN;
  HRESULT result = IdOf(object, name, &id);
  if (FAILED(result)) {
    return result;
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                        nullptr, nullptr);
}

HRESULT PutText(IDispatch* object, const wchar_t* name, const wchar_t* text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(text);
  if (value.bstrVal == nullptr) {
    return E_OUTOFMEMORY;
  }
  const HRESULT result = PutProperty(object, name, value);
  VariantClear(&value);
  return result;
}

// Prints "ProgID: name = value" with the property's value as text.
HRESULT PrintProperty(IDispatch* object, const char* progId, const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  HRESULT result = GetProperty(object, name, &value);
  if (SUCCEEDED(result)) {
    result = VariantChangeType(&value, &value, 0, VT_BSTR);
  }
  if (SUCCEEDED(result)) {
    std::printf("%s: %ls = %ls\n", progId, name, value.bstrVal);
  }
  VariantClear(&value);
  return result;
}

// The IDispatch of the control that an AtlAxWin window hosts.
int HostedControl(AtlAxGetControlFunction atlAxGetControl, HWND host, ComRef<IDispatch>* control) {
  IUnknown* unknown = nullptr;
  if (FAILED(atlAxGetControl(host, &unknown)) || unknown == nullptr) {
    return kNoControl;
  }
  const ComRef<IUnknown> hosted(unknown);
  IDispatch* dispatch = nullptr;
  if (FAILED(hosted->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    return kNoDispatch;
  }
  control->reset(dispatch);
  return kOk;
}

// Gives the skin its caption and its window, the button its caption, and prints what they
// answer.
int UseControls(IDispatch* form, IDispatch* button, HWND window) {
  // hwnd is the window that a drag on the skin's title bar moves. Window handles keep their
  // meaning in 32 bits, on 64-bit Windows too.
  VARIANT handle;
  VariantInit(&handle);
  handle.vt = VT_I4;
  handle.lVal = HandleToLong(window);
  if (FAILED(PutText(form, L"Caption", L"Service settings")) ||
      FAILED(PutProperty(form, L"hwnd", handle)) || FAILED(PutText(button, L"Caption", L"Apply")) ||
      FAILED(PrintProperty(form, "Vellum.CorvidForm", L"Caption")) ||
      FAILED(PrintProperty(button, "Lamina.Button", L"Caption")) ||
      FAILED(PrintProperty(button, "Lamina.Button", L"UnFocusBack"))) {
    return kNoProperty;
  }
  return kOk;
}

// Receives the skin's events; the close button closes the window. The events arrive through
// IDispatch::Invoke with the event's dispatch id. It lives on Run's stack, longer than the
// control it listens to, so it needs no reference count of its own.
class SkinEvents : public IDispatch {
 public:
  explicit SkinEvents(HWND window) : window_(window) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kCorvidFormEvents) {
      *object = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    // Posted, not destroyed here: the skin is still busy raising the event.
    if (event == kUnloadClick) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    return S_OK;
  }

 private:
  HWND window_;
};

int ConnectEvents(IDispatch* control, const IID& events, IDispatch* sink) {
  IConnectionPointContainer* container = nullptr;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(&container)))) {
    return kNoEvents;
  }
  const ComRef<IConnectionPointContainer> points(container);
  IConnectionPoint* point = nullptr;
  if (FAILED(points->FindConnectionPoint(events, &point))) {
    return kNoEvents;
  }
  const ComRef<IConnectionPoint> connection(point);
  DWORD cookie = 0;
  return SUCCEEDED(connection->Advise(sink, &cookie)) ? kOk : kNoEvents;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(kOk);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Run() {
  // atl.dll stays loaded: the AtlAxWin window class lives in it.
  const HMODULE atl = LoadLibraryW(L"atl.dll");
  if (atl == nullptr) {
    return kNoAtl;
  }
  const auto atlAxWinInit = Entry<AtlAxWinInitFunction>(atl, "AtlAxWinInit");
  const auto atlAxGetControl = Entry<AtlAxGetControlFunction>(atl, "AtlAxGetControl");
  if (atlAxWinInit == nullptr || atlAxGetControl == nullptr || !atlAxWinInit()) {
    return kNoAtl;
  }

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"EmbedSample";
  if (RegisterClassW(&windowClass) == 0) {
    return kNoWindow;
  }
  // No frame of its own: the skin draws it.
  const HWND window = CreateWindowExW(WS_EX_APPWINDOW, L"EmbedSample", L"Service settings",
                                      WS_POPUP | WS_CLIPCHILDREN, 100, 100, 400, 300, nullptr,
                                      nullptr, instance, nullptr);
  if (window == nullptr) {
    return kNoWindow;
  }

  // The skin fills the window; the button lies on the skin's body, above it.
  RECT client{};
  GetClientRect(window, &client);
  const HWND formHost =
      CreateWindowExW(0, L"AtlAxWin", L"Vellum.CorvidForm", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                      0, 0, client.right, client.bottom, window, nullptr, instance, nullptr);
  const HWND buttonHost =
      CreateWindowExW(0, L"AtlAxWin", L"Lamina.Button", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                      150, 120, 90, 30, window, nullptr, instance, nullptr);
  if (formHost == nullptr || buttonHost == nullptr) {
    DestroyWindow(window);
    return kNoControl;
  }
  SetWindowPos(buttonHost, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  ComRef<IDispatch> form;
  ComRef<IDispatch> button;
  int outcome = HostedControl(atlAxGetControl, formHost, &form);
  if (outcome == kOk) {
    outcome = HostedControl(atlAxGetControl, buttonHost, &button);
  }
  SkinEvents skinEvents(window);
  if (outcome == kOk) {
    outcome = ConnectEvents(form.get(), kCorvidFormEvents, &skinEvents);
  }
  if (outcome == kOk) {
    outcome = UseControls(form.get(), button.get(), window);
  }
  // The hosts hold the controls from here on; they release them when they are destroyed,
  // and the skin lets go of the event sink then.
  form.reset();
  button.reset();
  std::fflush(stdout);
  if (outcome != kOk) {
    DestroyWindow(window);
    return outcome;
  }

  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int main() {
  const OleSession ole;
  if (FAILED(ole.result)) {
    return kNoOle;
  }
  return Run();
}
