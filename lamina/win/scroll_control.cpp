#include "scroll_control.h"

#include <new>

#include "com/class_factory.h"
#include "com/mouse_input.h"
#include "com/registration.h"
#include "com/scene_painter.h"

namespace svctune::lamina {

namespace {

template <typename Dual>
struct ScrollClass;

template <>
struct ScrollClass<_Vscroll> {
  static constexpr ScrollOrientation kOrientation = ScrollOrientation::kVertical;
  static const com::ControlClass& Info() {
    static const com::ControlClass info{&CLSID_Vscroll, &IID__Vscroll,    &DIID___Vscroll,
                                        &LIBID_Lamina,  L"LaminaVscroll", com::kControlMiscStatus,
                                        SIZE{255, 2295}};
    return info;
  }
};

template <>
struct ScrollClass<_Hscroll> {
  static constexpr ScrollOrientation kOrientation = ScrollOrientation::kHorizontal;
  static const com::ControlClass& Info() {
    static const com::ControlClass info{&CLSID_Hscroll, &IID__Hscroll,    &DIID___Hscroll,
                                        &LIBID_Lamina,  L"LaminaHscroll", com::kControlMiscStatus,
                                        SIZE{2055, 255}};
    return info;
  }
};

template <typename T>
HRESULT Answer(T* out, T value) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = value;
  return S_OK;
}

HRESULT ErrorOf(Assignment assignment) {
  switch (assignment) {
    case Assignment::kOverflow:
      return CTL_E_OVERFLOW;
    case Assignment::kDesignTimeOnly:
      return CTL_E_SETNOTSUPPORTEDATRUNTIME;
    case Assignment::kDone:
      break;
  }
  return S_OK;
}

}  // namespace

template <typename Dual>
HRESULT ScrollControl<Dual>::Create(REFIID iid, void** object) {
  return com::HandOutNew(new (std::nothrow) ScrollControl(), iid, object);
}

template <typename Dual>
ScrollControl<Dual>::ScrollControl()
    : com::DualControl<Dual>(ScrollClass<Dual>::Info()),
      model_(ScrollClass<Dual>::kOrientation, com::MeasureText, *this,
             [this](std::wstring_view name) { this->PropertyChanged(name); }) {
  model_.Surface().OnInvalidated([this] { this->Invalidate(); });
  const SIZE size = this->SizeTwips();
  model_.Resize(size.cx, size.cy);
}

template <typename Dual>
const std::vector<com::BagKey>& ScrollControl<Dual>::BagKeys() const {
  static const std::vector<com::BagKey> keys{
      {L"BackColor", com::BagKind::kInt32}, {L"UnFocusFC", com::BagKind::kInt32},
      {L"FocusBC", com::BagKind::kInt32},   {L"FocusFC", com::BagKind::kInt32},
      {L"UnFocusBC", com::BagKind::kInt32}, {L"Max", com::BagKind::kInt32},
      {L"Min", com::BagKind::kInt32},       {L"MinChange", com::BagKind::kInt32},
      {L"MaxChange", com::BagKind::kInt32}, {L"MoveValue", com::BagKind::kInt32},
  };
  return keys;
}

template <typename Dual>
void ScrollControl<Dual>::InitProperties(const scene::AmbientInfo&) {
  model_.InitProperties();
}

template <typename Dual>
void ScrollControl<Dual>::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo&) {
  model_.ReadProperties(bag);
  this->Invalidate();
}

template <typename Dual>
void ScrollControl<Dual>::WriteProperties(PropertyBag& bag, const scene::AmbientInfo&) {
  model_.WriteProperties(bag);
}

template <typename Dual>
SIZE ScrollControl<Dual>::ConstrainSize(SIZE sizeTwips) const {
  const ControlSize size = model_.Constrain(ControlSize{sizeTwips.cx, sizeTwips.cy});
  return SIZE{size.width, size.height};
}

template <typename Dual>
HRESULT ScrollControl<Dual>::OnResize(int widthTwips, int heightTwips) {
  const std::optional<ControlSize> used = model_.Resize(widthTwips, heightTwips);
  if (!used) {
    return CTL_E_OVERFLOW;
  }
  if (used->width != widthTwips || used->height != heightTwips) {
    this->RequestSize(SIZE{used->width, used->height});
  }
  return S_OK;
}

template <typename Dual>
void ScrollControl<Dual>::Paint(HDC dc, const RECT& bounds) {
  com::PaintScene(dc, POINT{bounds.left, bounds.top},
                  SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top},
                  model_.SurfaceColour(), model_.Children());
}

template <typename Dual>
bool ScrollControl<Dual>::HandlesKey(WPARAM key) const {
  return key <= 0xFF && model_.HandlesKey(static_cast<short>(key));
}

template <typename Dual>
LRESULT ScrollControl<Dual>::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       bool& handled) {
  handled = true;
  if (const std::optional<com::MouseInput> input =
          com::ReadMouseMessage(window, message, wParam, lParam)) {
    com::DeliverMouse(model_, *input);
    return 0;
  }
  switch (message) {
    case WM_KEYDOWN:
      model_.KeyDown(static_cast<short>(wParam));
      return 0;
    case WM_SETFOCUS:
      model_.GotFocus();
      return 0;
    case WM_KILLFOCUS:
      model_.LostFocus();
      return 0;
    default:
      handled = false;
      return 0;
  }
}

template <typename Dual>
void ScrollControl<Dual>::Change() {
  this->Fire(1);
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_BackColor(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.BackColor());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_BackColor(OLE_COLOR value) {
  model_.SetBackColor(value);
  this->Invalidate();
  return S_OK;
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_UnFocusFC(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.UnFocusFC());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_UnFocusFC(OLE_COLOR value) {
  model_.SetUnFocusFC(value);
  return S_OK;
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_FocusBC(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.FocusBC());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_FocusBC(OLE_COLOR value) {
  return ErrorOf(model_.SetFocusBC(value, this->Ambient().userMode));
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_FocusFC(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.FocusFC());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_FocusFC(OLE_COLOR value) {
  return ErrorOf(model_.SetFocusFC(value, this->Ambient().userMode));
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_UnFocusBC(OLE_COLOR* value) {
  return Answer<OLE_COLOR>(value, model_.UnFocusBC());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_UnFocusBC(OLE_COLOR value) {
  model_.SetUnFocusBC(value);
  return S_OK;
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_Max(short* value) {
  return Answer<short>(value, model_.Max());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_Max(short value) {
  return ErrorOf(model_.SetMax(value));
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_Min(short* value) {
  return Answer<short>(value, model_.Min());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_Min(short value) {
  return ErrorOf(model_.SetMin(value));
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_MinChange(short* value) {
  return Answer<short>(value, model_.MinChange());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_MinChange(short value) {
  return ErrorOf(model_.SetMinChange(value));
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_MaxChange(short* value) {
  return Answer<short>(value, model_.MaxChange());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_MaxChange(short value) {
  return ErrorOf(model_.SetMaxChange(value));
}

template <typename Dual>
HRESULT ScrollControl<Dual>::get_MoveValue(short* value) {
  return Answer<short>(value, model_.MoveValue());
}

template <typename Dual>
HRESULT ScrollControl<Dual>::put_MoveValue(short value) {
  model_.SetMoveValue(value);
  return S_OK;
}

template class ScrollControl<_Vscroll>;
template class ScrollControl<_Hscroll>;

}  // namespace svctune::lamina
