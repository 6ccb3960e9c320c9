#include "com/bag_bridge.h"

#include "com/ole_font.h"
#include "com/variant.h"

namespace svctune::com {

namespace {

VARTYPE TypeOf(BagKind kind) {
  switch (kind) {
    case BagKind::kBool:
      return VT_BOOL;
    case BagKind::kInt32:
      return VT_I4;
    case BagKind::kText:
      return VT_BSTR;
    case BagKind::kFont:
      return VT_DISPATCH;
  }
  return VT_EMPTY;
}

}  // namespace

PropertyBag ReadBag(IPropertyBag* bag, IErrorLog* log, const std::vector<BagKey>& keys) {
  PropertyBag values;
  if (bag == nullptr) {
    return values;
  }
  for (const BagKey& key : keys) {
    Variant value;
    value->vt = TypeOf(key.kind);
    if (key.kind == BagKind::kFont) {
      value->pdispVal = nullptr;
    }
    if (FAILED(bag->Read(key.name, value.get(), log))) {
      continue;
    }
    if (key.kind == BagKind::kFont) {
      if ((value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal != nullptr) {
        values.Put(key.name, DescribeFont(value->punkVal, FontSpec{}));
      }
      continue;
    }
    if (!value.ChangeTo(TypeOf(key.kind))) {
      continue;
    }
    switch (key.kind) {
      case BagKind::kBool:
        values.Put(key.name, value->boolVal != VARIANT_FALSE);
        break;
      case BagKind::kInt32:
        values.Put(key.name, static_cast<std::int32_t>(value->lVal));
        break;
      case BagKind::kText:
        values.Put(key.name, ToString(value->bstrVal));
        break;
      case BagKind::kFont:
        break;
    }
  }
  return values;
}

HRESULT WriteBag(IPropertyBag* bag, const PropertyBag& values, const std::vector<BagKey>& keys) {
  if (bag == nullptr) {
    return E_POINTER;
  }
  for (const BagKey& key : keys) {
    const PropertyValue* stored = values.Find(key.name);
    if (stored == nullptr) {
      continue;
    }
    Variant value;
    if (const bool* flag = std::get_if<bool>(stored)) {
      value->vt = VT_BOOL;
      value->boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (const std::int32_t* number = std::get_if<std::int32_t>(stored)) {
      value->vt = VT_I4;
      value->lVal = *number;
    } else if (const std::wstring* text = std::get_if<std::wstring>(stored)) {
      value->vt = VT_BSTR;
      value->bstrVal = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    } else if (const FontSpec* font = std::get_if<FontSpec>(stored)) {
      ComPtr<IFontDisp> object = CreateFontObject(*font);
      if (!object) {
        return E_OUTOFMEMORY;
      }
      value->vt = VT_DISPATCH;
      value->pdispVal = object.Detach();
    } else {
      continue;
    }
    const HRESULT written = bag->Write(key.name, value.get());
    if (FAILED(written)) {
      return written;
    }
  }
  return S_OK;
}

}  // namespace svctune::com
