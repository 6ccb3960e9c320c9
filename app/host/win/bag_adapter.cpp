#include "win/bag_adapter.h"

#include <new>

#include "com/ole_font.h"
#include "com/variant.h"

namespace svctune::host {

BagAdapter* BagAdapter::Create(const PropertyBag& values) {
  return new (std::nothrow) BagAdapter(values);
}

HRESULT BagAdapter::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyBag)) {
    *object = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG BagAdapter::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG BagAdapter::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return static_cast<ULONG>(left);
}

std::wstring BagAdapter::Fold(const std::wstring& name) {
  std::wstring folded = name;
  for (wchar_t& c : folded) {
    if (c >= L'A' && c <= L'Z') {
      c = static_cast<wchar_t>(c - L'A' + L'a');
    }
  }
  return folded;
}

HRESULT BagAdapter::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (name == nullptr || value == nullptr) {
    return E_POINTER;
  }
  const VARTYPE wanted = value->vt;
  const auto object = objects_.find(Fold(name));
  if (object != objects_.end()) {
    com::ComPtr<IDispatch> dispatch = object->second.As<IDispatch>(IID_IDispatch);
    VariantInit(value);
    if (dispatch) {
      value->vt = VT_DISPATCH;
      value->pdispVal = dispatch.Detach();
    } else {
      value->vt = VT_UNKNOWN;
      value->punkVal = com::ComPtr<IUnknown>(object->second).Detach();
    }
    return S_OK;
  }
  const PropertyValue* stored = values_.Find(name);
  if (stored == nullptr || std::holds_alternative<std::monostate>(*stored)) {
    return E_INVALIDARG;
  }
  com::Variant result;
  if (const bool* flag = std::get_if<bool>(stored)) {
    result->vt = VT_BOOL;
    result->boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (const std::int32_t* number = std::get_if<std::int32_t>(stored)) {
    result->vt = VT_I4;
    result->lVal = *number;
  } else if (const std::wstring* text = std::get_if<std::wstring>(stored)) {
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
  } else if (const FontSpec* font = std::get_if<FontSpec>(stored)) {
    com::ComPtr<IFontDisp> fontObject = com::CreateFontObject(*font);
    if (!fontObject) {
      return E_OUTOFMEMORY;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = fontObject.Detach();
  }
  const bool object_kind = result->vt == VT_DISPATCH;
  if (wanted != VT_EMPTY && wanted != result->vt && !object_kind &&
      FAILED(VariantChangeType(result.get(), result.get(), 0, wanted))) {
    return E_FAIL;
  }
  VariantInit(value);
  *value = *result.get();
  result->vt = VT_EMPTY;
  return S_OK;
}

HRESULT BagAdapter::Write(LPCOLESTR name, VARIANT* value) {
  if (name == nullptr || value == nullptr) {
    return E_POINTER;
  }
  const std::wstring key = Fold(name);
  objects_.erase(key);
  com::Variant copy;
  if (FAILED(VariantCopyInd(copy.get(), value))) {
    return E_INVALIDARG;
  }
  switch (copy->vt) {
    case VT_BOOL:
      values_.Put(key, copy->boolVal != VARIANT_FALSE);
      return S_OK;
    case VT_BSTR:
      values_.Put(key, com::ToString(copy->bstrVal));
      return S_OK;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      if (copy->punkVal == nullptr) {
        values_.Put(key, PropertyValue{});
        return S_OK;
      }
      com::ComPtr<IFont> font;
      if (SUCCEEDED(copy->punkVal->QueryInterface(IID_IFont, font.ReceiveVoid()))) {
        values_.Put(key, com::DescribeFont(font.get(), FontSpec{}));
      } else {
        values_.Put(key, PropertyValue{});
        objects_[key] = com::ComPtr<IUnknown>(copy->punkVal);
      }
      return S_OK;
    }
    default:
      if (!copy.ChangeTo(VT_I4)) {
        return E_INVALIDARG;
      }
      values_.Put(key, static_cast<std::int32_t>(copy->lVal));
      return S_OK;
  }
}

}  // namespace svctune::host
