#pragma once

#include <windows.h>

#include <vector>

namespace svctune::com {

// What the registry must say about one control class of a library.
struct ControlRegistration {
  CLSID clsid;
  const wchar_t* progId;           // version-independent, "Lamina.Button"
  const wchar_t* versionedProgId;  // "Lamina.Button.1"
  const wchar_t* description;
  int toolboxBitmap;  // resource number in the library
  DWORD miscStatus;   // OLEMISC_* for the content aspect
};

struct LibraryRegistration {
  GUID libId;
  WORD majorVersion;
  WORD minorVersion;
  std::vector<ControlRegistration> controls;
};

// OLEMISC flags of a windowed ActiveX control that activates when shown.
inline constexpr DWORD kControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                            OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                            OLEMISC_SETCLIENTSITEFIRST;

// DllRegisterServer: CLSID, ProgID and type library keys of every control of the library in
// this module. A failure undoes what was written.
HRESULT RegisterLibrary(const LibraryRegistration& library);
// DllUnregisterServer: removes every key RegisterLibrary writes. Keys already gone are fine.
HRESULT UnregisterLibrary(const LibraryRegistration& library);

}  // namespace svctune::com
