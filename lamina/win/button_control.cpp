#include "button_control.h"

#include <new>

#include "com/class_factory.h"
#include "com/mouse_input.h"
#include "com/registration.h"
#include "com/scene_painter.h"
#include "com/server_module.h"
#include "com/variant.h"
#include "lamina_resources.h"
#include "ui/twips.h"
#include "win/mouse_keys.h"

namespace svctune::lamina {

namespace {

constexpr UINT_PTR kTimeOk = 1;

const com::ControlClass kButtonClass{&CLSID_Button,  &IID__Button,    &DIID___Button,
                                     &LIBID_Lamina,  L"LaminaButton", com::kControlMiscStatus,
                                     SIZE{1215, 495}};

}  // namespace

HRESULT ButtonControl::Create(REFIID iid, void** object) {
  return com::HandOutNew(new (std::nothrow) ButtonControl(), iid, object);
}

ButtonControl::ButtonControl()
    : DualControl<_Button>(kButtonClass),
      model_(com::MeasureText, *this, [this](std::wstring_view name) { PropertyChanged(name); }),
      font_([this](const FontSpec& font) { model_.SetFont(font); }) {
  model_.Surface().OnInvalidated([this] { Invalidate(); });
  model_.OnTimerSwitched([this](bool enabled) { SwitchTimer(enabled); });
  const SIZE size = SizeTwips();
  model_.Resize(size.cx, size.cy);
}

const std::vector<com::BagKey>& ButtonControl::BagKeys() const {
  static const std::vector<com::BagKey> keys{
      {L"Font", com::BagKind::kFont},         {L"Caption", com::BagKind::kText},
      {L"FocusFore", com::BagKind::kInt32},   {L"FocusBack", com::BagKind::kInt32},
      {L"UnFocusFore", com::BagKind::kInt32}, {L"UnFocusBack", com::BagKind::kInt32},
      {L"Enabled", com::BagKind::kBool},
  };
  return keys;
}

void ButtonControl::InitProperties(const scene::AmbientInfo& ambient) {
  model_.InitProperties(ambient);
  font_.Reset();
}

void ButtonControl::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.ReadProperties(bag, ambient);
  font_.Reset();
  if (Window() != nullptr) {
    EnableWindow(Window(), model_.Enabled() ? TRUE : FALSE);
  }
}

void ButtonControl::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.WriteProperties(bag, ambient);
}

HRESULT ButtonControl::OnResize(int widthTwips, int heightTwips) {
  return model_.Resize(widthTwips, heightTwips) ? S_OK : CTL_E_OVERFLOW;
}

void ButtonControl::Paint(HDC dc, const RECT& bounds) {
  com::PaintScene(dc, POINT{bounds.left, bounds.top},
                  SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top},
                  model_.SurfaceColour(), model_.wBACK());
}

void ButtonControl::OnWindowCreated(HWND window) {
  EnableWindow(window, model_.Enabled() ? TRUE : FALSE);
  if (model_.TimerEnabled()) {
    SetTimer(window, kTimeOk, 1, nullptr);
  }
}

void ButtonControl::OnWindowDestroying(HWND window) {
  KillTimer(window, kTimeOk);
}

void ButtonControl::SwitchTimer(bool enabled) {
  if (Window() == nullptr) {
    return;
  }
  if (enabled) {
    SetTimer(Window(), kTimeOk, 1, nullptr);
  } else {
    KillTimer(Window(), kTimeOk);
  }
}

LRESULT ButtonControl::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 bool& handled) {
  handled = true;
  if (const std::optional<com::MouseInput> input =
          com::ReadMouseMessage(window, message, wParam, lParam)) {
    com::DeliverMouse(model_, *input);
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimeOk) {
        RECT rect{};
        POINT pointer{};
        if (GetWindowRect(window, &rect) && GetCursorPos(&pointer)) {
          model_.HoverTick(ScreenRect{rect.left, rect.top, rect.right, rect.bottom},
                           ScreenPoint{pointer.x, pointer.y});
        }
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT pointer{};
        GetCursorPos(&pointer);
        ScreenToClient(window, &pointer);
        const bool hand =
            model_.wBACK().PointerAt(PixelsToTwips(pointer.x), PixelsToTwips(pointer.y)) ==
            scene::MousePointer::kHand;
        HCURSOR cursor =
            hand ? LoadCursorW(com::ServerModule::Instance(), MAKEINTRESOURCEW(kHandCursor))
                 : nullptr;
        SetCursor(cursor != nullptr ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
        return TRUE;
      }
      handled = false;
      return 0;
    case WM_KEYDOWN:
      model_.KeyDown(static_cast<short>(wParam), win::ShiftState());
      return 0;
    case WM_KEYUP:
      model_.KeyUp(static_cast<short>(wParam), win::ShiftState());
      return 0;
    case WM_CHAR:
      model_.KeyPress(static_cast<short>(wParam));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

// ---- Events -----------------------------------------------------------------------------

void ButtonControl::Click() {
  Fire(1);
}

void ButtonControl::MouseUp(short& button, short& shift, float& x, float& y) {
  FireMouse(2, button, shift, x, y);
}

void ButtonControl::MouseDown(short& button, short& shift, float& x, float& y) {
  FireMouse(3, button, shift, x, y);
}

void ButtonControl::MouseMove(short& button, short& shift, float& x, float& y) {
  FireMouse(4, button, shift, x, y);
}

void ButtonControl::KeyUp(short& keyCode, short& shift) {
  com::EventArguments arguments;
  arguments.Short(keyCode).Short(shift);
  Fire(5, arguments);
}

void ButtonControl::KeyDown(short& keyCode, short& shift) {
  com::EventArguments arguments;
  arguments.Short(keyCode).Short(shift);
  Fire(6, arguments);
}

void ButtonControl::KeyPress(short& keyAscii) {
  com::EventArguments arguments;
  arguments.Short(keyAscii);
  Fire(7, arguments);
}

// ---- Properties -------------------------------------------------------------------------

HRESULT ButtonControl::get_Caption(BSTR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  const std::wstring& caption = model_.Caption();
  *value = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
  return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ButtonControl::put_Caption(BSTR value) {
  model_.SetCaption(com::ToString(value));
  return S_OK;
}

HRESULT ButtonControl::get_Font(IFontDisp** value) {
  return font_.Get(model_.Font(), value);
}

HRESULT ButtonControl::putref_Font(IFontDisp* value) {
  return font_.Set(value, model_.Font());
}

HRESULT ButtonControl::get_FocusFore(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.FocusFore();
  return S_OK;
}

HRESULT ButtonControl::put_FocusFore(OLE_COLOR value) {
  model_.SetFocusFore(value);
  return S_OK;
}

HRESULT ButtonControl::get_FocusBack(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.FocusBack();
  return S_OK;
}

HRESULT ButtonControl::put_FocusBack(OLE_COLOR value) {
  model_.SetFocusBack(value);
  return S_OK;
}

HRESULT ButtonControl::get_UnFocusFore(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.UnFocusFore();
  return S_OK;
}

HRESULT ButtonControl::put_UnFocusFore(OLE_COLOR value) {
  model_.SetUnFocusFore(value);
  return S_OK;
}

HRESULT ButtonControl::get_UnFocusBack(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.UnFocusBack();
  return S_OK;
}

HRESULT ButtonControl::put_UnFocusBack(OLE_COLOR value) {
  model_.SetUnFocusBack(value);
  return S_OK;
}

HRESULT ButtonControl::get_Enabled(VARIANT_BOOL* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.Enabled() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ButtonControl::put_Enabled(VARIANT_BOOL value) {
  model_.SetEnabled(value != VARIANT_FALSE);
  if (Window() != nullptr) {
    EnableWindow(Window(), model_.Enabled() ? TRUE : FALSE);
  }
  return S_OK;
}

}  // namespace svctune::lamina
