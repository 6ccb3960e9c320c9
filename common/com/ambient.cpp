#include "com/ambient.h"

#include <olectl.h>

#include "com/ole_font.h"

namespace svctune::com {

namespace {

bool GetProperty(IDispatch* object, DISPID dispid, Variant& value) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  value.Clear();
  return SUCCEEDED(object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                  &none, value.get(), nullptr, nullptr));
}

std::optional<std::wstring> ExtenderName(IOleClientSite* site) {
  ComPtr<IOleControlSite> controlSite;
  if (FAILED(site->QueryInterface(IID_IOleControlSite, controlSite.ReceiveVoid())) ||
      !controlSite) {
    return std::nullopt;
  }
  ComPtr<IDispatch> extender;
  if (FAILED(controlSite->GetExtendedControl(extender.Receive())) || !extender) {
    return std::nullopt;
  }
  LPOLESTR name = const_cast<LPOLESTR>(L"Name");
  DISPID dispid = DISPID_UNKNOWN;
  Variant value;
  if (FAILED(extender->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid)) ||
      !GetProperty(extender.get(), dispid, value) || !value.ChangeTo(VT_BSTR)) {
    return std::nullopt;
  }
  return ToString(value->bstrVal);
}

}  // namespace

bool ReadAmbient(IOleClientSite* site, DISPID dispid, Variant& value) {
  if (site == nullptr) {
    return false;
  }
  ComPtr<IDispatch> ambient;
  if (FAILED(site->QueryInterface(IID_IDispatch, ambient.ReceiveVoid())) || !ambient) {
    return false;
  }
  return GetProperty(ambient.get(), dispid, value);
}

scene::AmbientInfo ReadAmbientInfo(IOleClientSite* site) {
  scene::AmbientInfo info;
  Variant value;
  if (ReadAmbient(site, DISPID_AMBIENT_USERMODE, value) && value.ChangeTo(VT_BOOL)) {
    info.userMode = value->boolVal != VARIANT_FALSE;
  }
  if (ReadAmbient(site, DISPID_AMBIENT_FONT, value) &&
      (value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN)) {
    info.font = DescribeFont(value->punkVal, info.font);
  }
  if (ReadAmbient(site, DISPID_AMBIENT_BACKCOLOR, value) && value.ChangeTo(VT_I4)) {
    info.backColour = static_cast<OleColour>(value->lVal);
  }
  if (ReadAmbient(site, DISPID_AMBIENT_DISPLAYNAME, value) && value.ChangeTo(VT_BSTR)) {
    info.displayName = ToString(value->bstrVal);
  }
  if (site != nullptr) {
    if (std::optional<std::wstring> name = ExtenderName(site)) {
      info.displayName = *name;
    }
  }
  return info;
}

}  // namespace svctune::com
