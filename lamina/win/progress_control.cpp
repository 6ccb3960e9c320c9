#include "progress_control.h"

#include <new>

#include "com/class_factory.h"
#include "com/registration.h"
#include "com/scene_painter.h"

namespace svctune::lamina {

namespace {

const com::ControlClass kProgressClass{&CLSID_Progress, &IID__Progress,    &DIID___Progress,
                                       &LIBID_Lamina,   L"LaminaProgress", com::kControlMiscStatus,
                                       SIZE{1500, 255}};

template <typename T>
HRESULT Answer(T* out, T value) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = value;
  return S_OK;
}

VARIANT_BOOL Flag(bool value) {
  return value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

HRESULT ProgressControl::Create(REFIID iid, void** object) {
  return com::HandOutNew(new (std::nothrow) ProgressControl(), iid, object);
}

ProgressControl::ProgressControl()
    : DualControl<_Progress>(kProgressClass),
      model_(
          com::MeasureText, *this, [this](std::wstring_view name) { PropertyChanged(name); },
          [this](int width, int height) {
            RequestSize(SIZE{width, height});
          }),
      font_([this](const FontSpec& font) { model_.SetFont(font); }) {
  model_.Surface().OnInvalidated([this] { Invalidate(); });
  const SIZE size = SizeTwips();
  model_.Resize(size.cx, size.cy);
}

const std::vector<com::BagKey>& ProgressControl::BagKeys() const {
  static const std::vector<com::BagKey> keys{
      {L"Font", com::BagKind::kFont},       {L"BackColor", com::BagKind::kInt32},
      {L"FillColor", com::BagKind::kInt32}, {L"Max", com::BagKind::kInt32},
      {L"Value", com::BagKind::kInt32},     {L"Vertical", com::BagKind::kBool},
      {L"ShowTxt", com::BagKind::kBool},
  };
  return keys;
}

void ProgressControl::InitProperties(const scene::AmbientInfo& ambient) {
  font_.Reset();
  model_.InitProperties(ambient);
}

void ProgressControl::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  font_.Reset();
  model_.ReadProperties(bag, ambient);
  Invalidate();
}

void ProgressControl::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.WriteProperties(bag, ambient);
}

HRESULT ProgressControl::OnResize(int widthTwips, int heightTwips) {
  // The layout traps its own errors: a size it cannot hold leaves the children as they were.
  model_.Resize(widthTwips, heightTwips);
  return S_OK;
}

void ProgressControl::Paint(HDC dc, const RECT& bounds) {
  com::PaintScene(dc, POINT{bounds.left, bounds.top},
                  SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top}, model_.BackColor(),
                  model_.Children());
}

void ProgressControl::Progress(short& value) {
  com::EventArguments arguments;
  arguments.Short(value);
  Fire(1, arguments);
}

HRESULT ProgressControl::get_Font(IFontDisp** value) {
  return font_.Get(model_.Font(), value);
}

HRESULT ProgressControl::putref_Font(IFontDisp* value) {
  return font_.Set(value, model_.Font());
}

HRESULT ProgressControl::get_BackColor(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.BackColor());
}

HRESULT ProgressControl::put_BackColor(OLE_COLOR value) {
  model_.SetBackColor(value);
  Invalidate();
  return S_OK;
}

HRESULT ProgressControl::get_FillColor(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.FillColor());
}

HRESULT ProgressControl::put_FillColor(OLE_COLOR value) {
  model_.SetFillColor(value);
  return S_OK;
}

HRESULT ProgressControl::get_Max(short* value) {
  return Answer<short>(value, model_.Max());
}

HRESULT ProgressControl::put_Max(short value) {
  model_.SetMax(value);
  return S_OK;
}

HRESULT ProgressControl::get_Value(short* value) {
  return Answer<short>(value, model_.Value());
}

HRESULT ProgressControl::put_Value(short value) {
  model_.SetValue(value);
  return S_OK;
}

HRESULT ProgressControl::get_Vertical(VARIANT_BOOL* value) {
  return Answer<VARIANT_BOOL>(value, Flag(model_.Vertical()));
}

HRESULT ProgressControl::put_Vertical(VARIANT_BOOL value) {
  model_.SetVertical(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT ProgressControl::get_ShowTxt(VARIANT_BOOL* value) {
  return Answer<VARIANT_BOOL>(value, Flag(model_.ShowTxt()));
}

HRESULT ProgressControl::put_ShowTxt(VARIANT_BOOL value) {
  model_.SetShowTxt(value != VARIANT_FALSE);
  return S_OK;
}

}  // namespace svctune::lamina
