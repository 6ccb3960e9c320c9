// The entry points of Lamina.dll, an in-process server of the flat controls.
#include <windows.h>

#include <olectl.h>

#include "button_control.h"
#include "progress_control.h"
#include "scroll_control.h"
#include "combox_control.h"
#include "com/class_factory.h"
#include "com/registration.h"
#include "com/server_module.h"
#include "lamina_resources.h"
#include "movebar_control.h"

namespace {

using svctune::com::ClassFactory;
using svctune::com::ControlRegistration;
using svctune::com::LibraryRegistration;

ClassFactory buttonFactory(&svctune::lamina::ButtonControl::Create);
ClassFactory progressFactory(&svctune::lamina::ProgressControl::Create);
ClassFactory vscrollFactory(&svctune::lamina::VscrollControl::Create);
ClassFactory hscrollFactory(&svctune::lamina::HscrollControl::Create);
ClassFactory comBoxFactory(&svctune::lamina::ComBoxControl::Create);
ClassFactory moveBarFactory(&svctune::lamina::MoveBarControl::Create);

LibraryRegistration Library() {
  return LibraryRegistration{
      LIBID_Lamina,
      1,
      0,
      {ControlRegistration{CLSID_Button, L"Lamina.Button", L"Lamina.Button.1",
                           L"Lamina flat button", kToolboxButton, svctune::com::kControlMiscStatus},
       ControlRegistration{CLSID_Progress, L"Lamina.Progress", L"Lamina.Progress.1",
                           L"Lamina flat progress bar", kToolboxProgress,
                           svctune::com::kControlMiscStatus},
       ControlRegistration{CLSID_Vscroll, L"Lamina.Vscroll", L"Lamina.Vscroll.1",
                           L"Lamina flat vertical scroll bar", kToolboxVscroll,
                           svctune::com::kControlMiscStatus},
       ControlRegistration{CLSID_Hscroll, L"Lamina.Hscroll", L"Lamina.Hscroll.1",
                           L"Lamina flat horizontal scroll bar", kToolboxHscroll,
                           svctune::com::kControlMiscStatus},
       ControlRegistration{CLSID_ComBox, L"Lamina.ComBox", L"Lamina.ComBox.1",
                           L"Lamina flat combo box", kToolboxComBox,
                           svctune::com::kControlMiscStatus},
       ControlRegistration{CLSID_MoveBar, L"Lamina.MoveBar", L"Lamina.MoveBar.1",
                           L"Lamina window move bar", kToolboxMoveBar,
                           svctune::com::kControlMiscStatus}}};
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    svctune::com::ServerModule::SetInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (IsEqualCLSID(clsid, CLSID_Button)) {
    return buttonFactory.QueryInterface(iid, object);
  }
  if (IsEqualCLSID(clsid, CLSID_Progress)) {
    return progressFactory.QueryInterface(iid, object);
  }
  if (IsEqualCLSID(clsid, CLSID_Vscroll)) {
    return vscrollFactory.QueryInterface(iid, object);
  }
  if (IsEqualCLSID(clsid, CLSID_Hscroll)) {
    return hscrollFactory.QueryInterface(iid, object);
  }
  if (IsEqualCLSID(clsid, CLSID_ComBox)) {
    return comBoxFactory.QueryInterface(iid, object);
  }
  if (IsEqualCLSID(clsid, CLSID_MoveBar)) {
    return moveBarFactory.QueryInterface(iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return svctune::com::ServerModule::CanUnloadNow();
}

STDAPI DllRegisterServer() {
  return svctune::com::RegisterLibrary(Library());
}

STDAPI DllUnregisterServer() {
  return svctune::com::UnregisterLibrary(Library());
}
