#include "win/window_object.h"

#include <new>

#include "ui/twips.h"

namespace svctune::host {

namespace {
constexpr DISPID kWidth = 1;
constexpr DISPID kHeight = 2;
constexpr DISPID kHwnd = 3;
}  // namespace

WindowObject* WindowObject::Create(HWND window) {
  return new (std::nothrow) WindowObject(window);
}

HRESULT WindowObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG WindowObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG WindowObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return static_cast<ULONG>(left);
}

HRESULT WindowObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) {
    return E_POINTER;
  }
  *count = 0;
  return S_OK;
}

HRESULT WindowObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) {
    *info = nullptr;
  }
  return E_NOTIMPL;
}

HRESULT WindowObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) {
    return E_POINTER;
  }
  HRESULT result = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (i == 0 && lstrcmpiW(names[0], L"Width") == 0) {
      ids[0] = kWidth;
    } else if (i == 0 && lstrcmpiW(names[0], L"Height") == 0) {
      ids[0] = kHeight;
    } else if (i == 0 && lstrcmpiW(names[0], L"hwnd") == 0) {
      ids[0] = kHwnd;
    } else {
      result = DISP_E_UNKNOWNNAME;
    }
  }
  return result;
}

HRESULT WindowObject::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                             EXCEPINFO*, UINT*) {
  if ((flags & DISPATCH_PROPERTYGET) == 0) {
    return DISP_E_MEMBERNOTFOUND;
  }
  if (result == nullptr) {
    return E_POINTER;
  }
  RECT bounds{};
  if (dispid != kHwnd && !GetWindowRect(window_, &bounds)) {
    return E_FAIL;
  }
  VariantInit(result);
  result->vt = VT_I4;
  switch (dispid) {
    case kWidth:
      result->lVal = PixelsToTwips(bounds.right - bounds.left);
      return S_OK;
    case kHeight:
      result->lVal = PixelsToTwips(bounds.bottom - bounds.top);
      return S_OK;
    case kHwnd:
      result->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(window_));
      return S_OK;
    default:
      result->vt = VT_EMPTY;
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace svctune::host
