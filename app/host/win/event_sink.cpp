#include "win/event_sink.h"

#include <new>

namespace svctune::host {

VARIANTARG* EventArgs::At(unsigned index) const {
  if (index >= Count()) {
    return nullptr;
  }
  // DISPPARAMS hold the last argument first.
  VARIANTARG* argument = &parameters_->rgvarg[Count() - 1 - index];
  if (argument->vt == (VT_BYREF | VT_VARIANT) && argument->pvarVal != nullptr) {
    argument = argument->pvarVal;
  }
  return argument;
}

short EventArgs::Short(unsigned index) const {
  const VARIANTARG* argument = At(index);
  if (argument == nullptr) {
    return 0;
  }
  if (argument->vt == (VT_BYREF | VT_I2)) {
    return *argument->piVal;
  }
  VARIANT copy;
  VariantInit(&copy);
  short value = 0;
  if (SUCCEEDED(VariantChangeType(&copy, const_cast<VARIANTARG*>(argument), 0, VT_I2))) {
    value = copy.iVal;
  }
  return value;
}

void EventArgs::SetShort(unsigned index, short value) {
  VARIANTARG* argument = At(index);
  if (argument != nullptr && argument->vt == (VT_BYREF | VT_I2)) {
    *argument->piVal = value;
  }
}

float EventArgs::Float(unsigned index) const {
  const VARIANTARG* argument = At(index);
  if (argument == nullptr) {
    return 0;
  }
  if (argument->vt == (VT_BYREF | VT_R4)) {
    return *argument->pfltVal;
  }
  VARIANT copy;
  VariantInit(&copy);
  float value = 0;
  if (SUCCEEDED(VariantChangeType(&copy, const_cast<VARIANTARG*>(argument), 0, VT_R4))) {
    value = copy.fltVal;
  }
  return value;
}

void EventArgs::SetFloat(unsigned index, float value) {
  VARIANTARG* argument = At(index);
  if (argument != nullptr && argument->vt == (VT_BYREF | VT_R4)) {
    *argument->pfltVal = value;
  }
}

EventSink* EventSink::Create(REFIID eventInterface) {
  return new (std::nothrow) EventSink(eventInterface);
}

HRESULT EventSink::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, interface_)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG EventSink::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG EventSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return static_cast<ULONG>(left);
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) {
    return E_POINTER;
  }
  *count = 0;
  return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) {
    *info = nullptr;
  }
  return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                          EXCEPINFO*, UINT*) {
  const auto found = handlers_.find(dispid);
  if (found == handlers_.end()) {
    return S_OK;
  }
  // The handler may replace or clear the handlers (closing the window that owns the control).
  EventHandler handler = found->second;
  EventArgs arguments(parameters);
  handler(arguments);
  return S_OK;
}

}  // namespace svctune::host
