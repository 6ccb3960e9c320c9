#include "win/dispatch_call.h"

#include <algorithm>

namespace svctune::host {

namespace {

HRESULT Lookup(IDispatch* object, const wchar_t* name, DISPID& dispid) {
  if (object == nullptr || name == nullptr) {
    return E_POINTER;
  }
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
}

HRESULT Invoke(IDispatch* object, DISPID dispid, WORD flags, DISPPARAMS& parameters,
               VARIANT* result, std::wstring* error) {
  EXCEPINFO exception{};
  UINT argumentError = 0;
  HRESULT outcome = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                   result, &exception, &argumentError);
  if (outcome == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr) {
      exception.pfnDeferredFillIn(&exception);
    }
    if (error != nullptr && exception.bstrDescription != nullptr) {
      *error = com::ToString(exception.bstrDescription);
    }
    if (exception.scode != 0) {
      outcome = exception.scode;
    } else if (exception.wCode != 0) {
      outcome = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, exception.wCode);
    }
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

}  // namespace

HRESULT GetProperty(IDispatch* object, const wchar_t* name, com::Variant& value,
                    std::wstring* error) {
  DISPID dispid = DISPID_UNKNOWN;
  const HRESULT found = Lookup(object, name, dispid);
  if (FAILED(found)) {
    return found;
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  value.Clear();
  return Invoke(object, dispid, DISPATCH_PROPERTYGET, none, value.get(), error);
}

HRESULT PutProperty(IDispatch* object, const wchar_t* name, const VARIANT& value,
                    std::wstring* error) {
  DISPID dispid = DISPID_UNKNOWN;
  const HRESULT found = Lookup(object, name, dispid);
  if (FAILED(found)) {
    return found;
  }
  VARIANTARG argument = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument, &named, 1, 1};
  return Invoke(object, dispid, DISPATCH_PROPERTYPUT, parameters, nullptr, error);
}

HRESULT PutRefProperty(IDispatch* object, const wchar_t* name, IDispatch* value,
                       std::wstring* error) {
  DISPID dispid = DISPID_UNKNOWN;
  const HRESULT found = Lookup(object, name, dispid);
  if (FAILED(found)) {
    return found;
  }
  VARIANTARG argument;
  VariantInit(&argument);
  argument.vt = VT_DISPATCH;
  argument.pdispVal = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument, &named, 1, 1};
  return Invoke(object, dispid, DISPATCH_PROPERTYPUTREF, parameters, nullptr, error);
}

HRESULT CallMethod(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments,
                   com::Variant* result, std::wstring* error) {
  DISPID dispid = DISPID_UNKNOWN;
  const HRESULT found = Lookup(object, name, dispid);
  if (FAILED(found)) {
    return found;
  }
  std::reverse(arguments.begin(), arguments.end());
  DISPPARAMS parameters{arguments.empty() ? nullptr : arguments.data(), nullptr,
                        static_cast<UINT>(arguments.size()), 0};
  if (result != nullptr) {
    result->Clear();
  }
  return Invoke(object, dispid, DISPATCH_METHOD, parameters,
                result != nullptr ? result->get() : nullptr, error);
}

}  // namespace svctune::host
