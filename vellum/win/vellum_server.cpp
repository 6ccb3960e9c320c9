// The entry points of Vellum.dll, an in-process server of the window skin control.
#include <windows.h>

#include <olectl.h>

#include "com/class_factory.h"
#include "com/registration.h"
#include "com/server_module.h"
#include "corvid_form_control.h"
#include "vellum_resources.h"

namespace {

using svctune::com::ClassFactory;
using svctune::com::ControlRegistration;
using svctune::com::LibraryRegistration;

ClassFactory corvidFormFactory(&svctune::vellum::CorvidFormControl::Create);

LibraryRegistration Library() {
  return LibraryRegistration{
      LIBID_Vellum,
      1,
      0,
      {ControlRegistration{CLSID_CorvidForm, L"Vellum.CorvidForm", L"Vellum.CorvidForm.1",
                           L"Vellum window skin", kToolboxCorvidForm,
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
  if (IsEqualCLSID(clsid, CLSID_CorvidForm)) {
    return corvidFormFactory.QueryInterface(iid, object);
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
