#include "com/font_property.h"

#include <utility>

#include "com/ole_font.h"

namespace svctune::com {

FontProperty::FontProperty(Changed changed) : changed_(std::move(changed)) {}

FontProperty::~FontProperty() {
  Reset();
}

void FontProperty::Hold(IFontDisp* font) {
  Reset();
  font_ = ComPtr<IFontDisp>(font);
  ComPtr<IConnectionPointContainer> points =
      font_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (points &&
      SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, notices_.Receive())) &&
      FAILED(notices_->Advise(static_cast<IPropertyNotifySink*>(this), &cookie_))) {
    notices_.Reset();
    cookie_ = 0;
  }
}

void FontProperty::Reset() {
  if (notices_) {
    notices_->Unadvise(cookie_);
    notices_.Reset();
    cookie_ = 0;
  }
  font_.Reset();
}

HRESULT FontProperty::Get(const FontSpec& current, IFontDisp** value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = nullptr;
  if (!font_) {
    ComPtr<IFontDisp> made = CreateFontObject(current);
    if (!made) {
      return E_OUTOFMEMORY;
    }
    Hold(made.get());
    described_ = current;
  }
  *value = font_.get();
  (*value)->AddRef();
  return S_OK;
}

HRESULT FontProperty::Set(IFontDisp* value, const FontSpec& current) {
  if (value == nullptr) {
    return CTL_E_INVALIDPROPERTYVALUE;
  }
  // Assigning the object already held keeps the listening in place.
  if (value != font_.get()) {
    Hold(value);
  }
  described_ = DescribeFont(value, current);
  changed_(described_);
  return S_OK;
}

HRESULT FontProperty::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink)) {
    *object = static_cast<IPropertyNotifySink*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FontProperty::OnChanged(DISPID) {
  if (font_) {
    const FontSpec now = DescribeFont(font_.get(), described_);
    if (now != described_) {
      described_ = now;
      changed_(described_);
    }
  }
  return S_OK;
}

}  // namespace svctune::com
