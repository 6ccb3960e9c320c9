#include "com/registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "com/com_ptr.h"
#include "com/server_module.h"

namespace svctune::com {

namespace {

// An open registry key, closed at the end of its life.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Receive() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// Creates HKEY_CLASSES_ROOT\path and sets one string value in it (the default value when
// name is null).
bool SetString(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  Key key;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        bytes) == ERROR_SUCCESS;
}

bool CreateEmpty(const std::wstring& path) {
  Key key;
  return RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_SET_VALUE, nullptr, key.Receive(), nullptr) == ERROR_SUCCESS;
}

// Deletes a key of HKEY_CLASSES_ROOT with all its sub-keys (RegDeleteTree came after XP).
bool DeleteTree(HKEY parent, const std::wstring& path) {
  {
    Key key;
    const LONG opened = RegOpenKeyExW(parent, path.c_str(), 0,
                                      KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, key.Receive());
    if (opened == ERROR_FILE_NOT_FOUND) {
      return true;
    }
    if (opened != ERROR_SUCCESS) {
      return false;
    }
    wchar_t name[256];
    for (;;) {
      DWORD length = 256;
      const LONG found =
          RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (found == ERROR_NO_MORE_ITEMS) {
        break;
      }
      if (found != ERROR_SUCCESS || !DeleteTree(key.get(), name)) {
        return false;
      }
    }
  }
  const LONG deleted = RegDeleteKeyW(parent, path.c_str());
  return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool RegisterControl(const ControlRegistration& control, const std::wstring& modulePath,
                     const LibraryRegistration& library) {
  const std::wstring clsidKey = L"CLSID\\" + GuidText(control.clsid);
  const std::wstring version =
      std::to_wstring(library.majorVersion) + L"." + std::to_wstring(library.minorVersion);
  return SetString(clsidKey, nullptr, control.description) &&
         SetString(clsidKey + L"\\ProgID", nullptr, control.versionedProgId) &&
         SetString(clsidKey + L"\\VersionIndependentProgID", nullptr, control.progId) &&
         SetString(clsidKey + L"\\InprocServer32", nullptr, modulePath) &&
         SetString(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
         CreateEmpty(clsidKey + L"\\Control") &&
         SetString(clsidKey + L"\\ToolboxBitmap32", nullptr,
                   modulePath + L", " + std::to_wstring(control.toolboxBitmap)) &&
         SetString(clsidKey + L"\\TypeLib", nullptr, GuidText(library.libId)) &&
         SetString(clsidKey + L"\\Version", nullptr, version) &&
         SetString(clsidKey + L"\\MiscStatus", nullptr, L"0") &&
         SetString(clsidKey + L"\\MiscStatus\\1", nullptr, std::to_wstring(control.miscStatus)) &&
         SetString(control.progId, nullptr, control.description) &&
         SetString(std::wstring(control.progId) + L"\\CLSID", nullptr, GuidText(control.clsid)) &&
         SetString(std::wstring(control.progId) + L"\\CurVer", nullptr, control.versionedProgId) &&
         SetString(control.versionedProgId, nullptr, control.description) &&
         SetString(std::wstring(control.versionedProgId) + L"\\CLSID", nullptr,
                   GuidText(control.clsid));
}

bool UnregisterControl(const ControlRegistration& control) {
  const bool clsid = DeleteTree(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidText(control.clsid));
  const bool progId = DeleteTree(HKEY_CLASSES_ROOT, control.progId);
  const bool versioned = DeleteTree(HKEY_CLASSES_ROOT, control.versionedProgId);
  return clsid && progId && versioned;
}

}  // namespace

HRESULT RegisterLibrary(const LibraryRegistration& library) {
  const std::wstring modulePath = ServerModule::Path();
  if (modulePath.empty()) {
    return SELFREG_E_CLASS;
  }
  ComPtr<ITypeLib> typeLib;
  HRESULT result = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, typeLib.Receive());
  if (FAILED(result)) {
    return SELFREG_E_TYPELIB;
  }
  std::wstring folder = modulePath.substr(0, modulePath.find_last_of(L'\\') + 1);
  result = RegisterTypeLib(typeLib.get(), const_cast<wchar_t*>(modulePath.c_str()),
                           folder.empty() ? nullptr : &folder[0]);
  if (FAILED(result)) {
    return SELFREG_E_TYPELIB;
  }
  for (const ControlRegistration& control : library.controls) {
    if (!RegisterControl(control, modulePath, library)) {
      UnregisterLibrary(library);
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

HRESULT UnregisterLibrary(const LibraryRegistration& library) {
  bool removed = true;
  for (const ControlRegistration& control : library.controls) {
    removed = UnregisterControl(control) && removed;
  }
  // UnRegisterTypeLib refuses a library that is not registered; that is the state we want. It
  // removes the library only for the platform it names, the one the library was registered for.
#ifdef _WIN64
  constexpr SYSKIND kPlatform = SYS_WIN64;
#else
  constexpr SYSKIND kPlatform = SYS_WIN32;
#endif
  UnRegisterTypeLib(library.libId, library.majorVersion, library.minorVersion, LOCALE_NEUTRAL,
                    kPlatform);
  Key typeLibKey;
  const std::wstring typeLibPath = L"TypeLib\\" + GuidText(library.libId);
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, typeLibPath.c_str(), 0, KEY_READ, typeLibKey.Receive()) ==
      ERROR_SUCCESS) {
    removed = false;
  }
  return removed ? S_OK : SELFREG_E_CLASS;
}

}  // namespace svctune::com
