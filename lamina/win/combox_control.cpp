#include "combox_control.h"

#include <new>

#include "com/class_factory.h"
#include "com/mouse_input.h"
#include "com/registration.h"
#include "com/scene_painter.h"
#include "com/server_module.h"
#include "com/variant.h"
#include "lamina_resources.h"
#include "scene_window.h"
#include "win/mouse_keys.h"

namespace svctune::lamina {

namespace {

const com::ControlClass kComBoxClass{&CLSID_ComBox,  &IID__ComBox,    &DIID___ComBox,
                                     &LIBID_Lamina,  L"LaminaComBox", com::kControlMiscStatus,
                                     SIZE{2055, 285}};

HRESULT ListError(ListResult result) {
  switch (result) {
    case ListResult::kOk:
      return S_OK;
    case ListResult::kBadIndex:
      return CTL_E_ILLEGALFUNCTIONCALL;
    case ListResult::kFull:
      return CTL_E_OVERFLOW;
  }
  return E_UNEXPECTED;
}

HRESULT ReturnText(const std::wstring& text, BSTR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

}  // namespace

HRESULT ComBoxControl::Create(REFIID iid, void** object) {
  return com::HandOutNew(new (std::nothrow) ComBoxControl(), iid, object);
}

ComBoxControl::ComBoxControl()
    : DualControl<_ComBox>(kComBoxClass),
      model_(com::MeasureText, *this, [this](std::wstring_view name) { PropertyChanged(name); }),
      font_([this](const FontSpec& font) { model_.SetFont(font); }) {
  model_.Surface().OnInvalidated([this] { Invalidate(); });
  model_.OnChanged([this](ComBoxModel::Aspect aspect) { Show(aspect); });
  model_.OnSizeRequested([this](int width, int height) { RequestSize(SIZE{width, height}); });
  children_.OnFocusLeft([this] { model_.FocusLeft(); });
  const SIZE size = SizeTwips();
  model_.Resize(size.cx, size.cy);
}

const std::vector<com::BagKey>& ComBoxControl::BagKeys() const {
  static const std::vector<com::BagKey> keys{
      {L"BackColor", com::BagKind::kInt32}, {L"ForeColor", com::BagKind::kInt32},
      {L"Enabled", com::BagKind::kBool},    {L"Font", com::BagKind::kFont},
      {L"Locked", com::BagKind::kBool},     {L"Text", com::BagKind::kText},
      {L"MaxLength", com::BagKind::kInt32},
  };
  return keys;
}

void ComBoxControl::InitProperties(const scene::AmbientInfo& ambient) {
  model_.InitProperties(ambient);
  font_.Reset();
}

void ComBoxControl::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.ReadProperties(bag, ambient);
  font_.Reset();
}

void ComBoxControl::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) {
  model_.WriteProperties(bag, ambient);
}

HRESULT ComBoxControl::OnResize(int widthTwips, int heightTwips) {
  model_.Resize(widthTwips, heightTwips);
  return S_OK;
}

void ComBoxControl::Paint(HDC dc, const RECT& bounds) {
  com::PaintScene(dc, POINT{bounds.left, bounds.top},
                  SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top}, kButtonFace,
                  model_.Surface());
}

void ComBoxControl::OnWindowCreated(HWND window) {
  com::ChildWindows::Handlers text;
  text.command = [this](WORD notification) {
    if (notification == EN_CHANGE && !showingText_) {
      model_.TextEdited(WindowText(textBox_));
    }
  };
  text.key = [this](UINT message, WPARAM key) { TextBoxKey(message, key); };
  text.mouse = [this](UINT message, LPARAM) {
    if (message == WM_LBUTTONUP) {
      model_.TextClicked();
    }
  };
  textBox_ = children_.Create(window, L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                              WS_EX_CLIENTEDGE, PixelRect(model_.ComText()), std::move(text));

  com::ChildWindows::Handlers list;
  list.command = [this](WORD notification) {
    if (notification == LBN_SELCHANGE) {
      model_.ListChosen(static_cast<int>(SendMessageW(listBox_, LB_GETCURSEL, 0, 0)));
    }
  };
  list.mouse = [this](UINT message, LPARAM position) { ListMouse(message, position); };
  listBox_ = children_.Create(window, L"LISTBOX",
                              WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                              PixelRect(model_.ComList()), std::move(list));
  FillList();
  ShowAll();
}

void ComBoxControl::OnWindowDestroying(HWND) {
  children_.DestroyAll();
  textBox_ = nullptr;
  listBox_ = nullptr;
}

void ComBoxControl::FillList() {
  if (listBox_ == nullptr) {
    return;
  }
  SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
  for (const ComBoxItem& item : model_.Items()) {
    SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
  }
}

void ComBoxControl::ShowAll() {
  for (ComBoxModel::Aspect aspect :
       {ComBoxModel::Aspect::kLooks, ComBoxModel::Aspect::kText, ComBoxModel::Aspect::kSelection,
        ComBoxModel::Aspect::kLayout}) {
    Show(aspect);
  }
}

void ComBoxControl::Show(ComBoxModel::Aspect aspect) {
  if (textBox_ == nullptr || listBox_ == nullptr) {
    return;
  }
  switch (aspect) {
    case ComBoxModel::Aspect::kText:
      showingText_ = true;
      SetWindowTextW(textBox_, model_.Text().c_str());
      showingText_ = false;
      break;
    case ComBoxModel::Aspect::kSelection:
      SendMessageW(listBox_, LB_SETCURSEL, static_cast<WPARAM>(model_.ListIndex()), 0);
      break;
    case ComBoxModel::Aspect::kLayout: {
      const RECT text = PixelRect(model_.ComText());
      MoveWindow(textBox_, text.left, text.top, text.right - text.left, text.bottom - text.top,
                 TRUE);
      const RECT list = PixelRect(model_.ComList());
      MoveWindow(listBox_, list.left, list.top, list.right - list.left, list.bottom - list.top,
                 TRUE);
      ShowWindow(listBox_, model_.ListOpen() ? SW_SHOWNA : SW_HIDE);
      break;
    }
    case ComBoxModel::Aspect::kLooks: {
      const COLORREF text = com::ToColorRef(model_.ForeColor());
      const COLORREF back = com::ToColorRef(model_.BackColor());
      children_.SetColours(textBox_, text, back);
      children_.SetColours(listBox_, text, back);
      children_.SetFont(textBox_, model_.Font());
      children_.SetFont(listBox_, model_.Font());
      // A disabled control keeps its text box enabled but read-only: a disabled edit control
      // draws its text grey whatever the colour answer says, and ForeColor is the text box's
      // colour (a read-only one asks with WM_CTLCOLORSTATIC, answered by children_). Input is
      // blocked all the same: the control's window is disabled, so no click reaches its
      // children and Tab does not go into it, the text box gives up the focus it had, keys
      // that still reach it raise no events (the model) and change no text (read-only).
      const bool enabled = model_.Enabled();
      SendMessageW(textBox_, EM_SETREADONLY, model_.Locked() || !enabled ? TRUE : FALSE, 0);
      SendMessageW(textBox_, EM_LIMITTEXT, static_cast<WPARAM>(model_.MaxLength()), 0);
      EnableWindow(listBox_, enabled ? TRUE : FALSE);
      if (!enabled) {
        const HWND focus = GetFocus();
        if (focus == textBox_ || focus == listBox_ || (focus != nullptr && focus == Window())) {
          SetFocus(nullptr);
        }
      }
      if (Window() != nullptr) {
        EnableWindow(Window(), enabled ? TRUE : FALSE);
      }
      break;
    }
  }
}

void ComBoxControl::TextBoxKey(UINT message, WPARAM key) {
  const short code = static_cast<short>(key);
  if (message == WM_KEYDOWN) {
    model_.KeyDown(code, win::ShiftState());
  } else if (message == WM_KEYUP) {
    model_.KeyUp(code, win::ShiftState());
  } else {
    model_.KeyPress(code);
  }
}

// A click on the item that is already chosen chooses it again (the selection did not change, so
// the list sent no notification).
void ComBoxControl::ListMouse(UINT message, LPARAM position) {
  if (message != WM_LBUTTONUP || !model_.ListOpen()) {
    return;
  }
  const LRESULT hit = SendMessageW(listBox_, LB_ITEMFROMPOINT, 0, position);
  if (HIWORD(hit) == 0 && static_cast<int>(LOWORD(hit)) == model_.ListIndex()) {
    model_.ListChosen(model_.ListIndex());
  }
}

LRESULT ComBoxControl::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 bool& handled) {
  LRESULT routed = 0;
  if (children_.Route(window, message, wParam, lParam, routed)) {
    handled = true;
    return routed;
  }
  handled = true;
  if (const std::optional<com::MouseInput> input =
          com::ReadMouseMessage(window, message, wParam, lParam)) {
    if (input->action == scene::MouseAction::kDown) {
      model_.MouseDown(input->button, input->shift, input->x, input->y);
    } else if (input->action == scene::MouseAction::kUp) {
      model_.MouseUp(input->button, input->shift, input->x, input->y);
    }
    return 0;
  }
  switch (message) {
    case WM_SETFOCUS:
      if (textBox_ != nullptr && model_.Enabled()) {
        SetFocus(textBox_);
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window) {
        SetSceneCursor(window, model_.Surface(), com::ServerModule::Instance(), kHandCursor);
        return TRUE;
      }
      handled = false;
      return 0;
    default:
      handled = false;
      return 0;
  }
}

// ---- Events -----------------------------------------------------------------------------

void ComBoxControl::Change() {
  Fire(1);
}

void ComBoxControl::Click() {
  Fire(2);
}

void ComBoxControl::KeyDown(short& keyCode, short& shift) {
  com::EventArguments arguments;
  arguments.Short(keyCode).Short(shift);
  Fire(3, arguments);
}

void ComBoxControl::KeyPress(short& keyAscii) {
  com::EventArguments arguments;
  arguments.Short(keyAscii);
  Fire(4, arguments);
}

void ComBoxControl::KeyUp(short& keyCode, short& shift) {
  com::EventArguments arguments;
  arguments.Short(keyCode).Short(shift);
  Fire(5, arguments);
}

// ---- Properties and methods -------------------------------------------------------------

HRESULT ComBoxControl::get_BackColor(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.BackColor();
  return S_OK;
}

HRESULT ComBoxControl::put_BackColor(OLE_COLOR value) {
  model_.SetBackColor(value);
  return S_OK;
}

HRESULT ComBoxControl::get_ForeColor(OLE_COLOR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.ForeColor();
  return S_OK;
}

HRESULT ComBoxControl::put_ForeColor(OLE_COLOR value) {
  model_.SetForeColor(value);
  return S_OK;
}

HRESULT ComBoxControl::get_Enabled(VARIANT_BOOL* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.Enabled() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ComBoxControl::put_Enabled(VARIANT_BOOL value) {
  model_.SetEnabled(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT ComBoxControl::get_Font(IFontDisp** value) {
  return font_.Get(model_.Font(), value);
}

HRESULT ComBoxControl::putref_Font(IFontDisp* value) {
  return font_.Set(value, model_.Font());
}

HRESULT ComBoxControl::AddItem(BSTR item, VARIANT index) {
  int at = -1;
  const bool missing = index.vt == VT_ERROR && index.scode == DISP_E_PARAMNOTFOUND;
  if (!missing && index.vt != VT_EMPTY) {
    com::Variant number;
    if (FAILED(VariantChangeType(number.get(), &index, 0, VT_I2))) {
      return DISP_E_TYPEMISMATCH;
    }
    at = number->iVal;
    if (at < 0) {
      return CTL_E_ILLEGALFUNCTIONCALL;
    }
  }
  const std::wstring text = com::ToString(item);
  const HRESULT result = ListError(model_.AddItem(text, at));
  if (SUCCEEDED(result) && listBox_ != nullptr) {
    SendMessageW(listBox_, LB_INSERTSTRING, static_cast<WPARAM>(at),
                 reinterpret_cast<LPARAM>(text.c_str()));
    Show(ComBoxModel::Aspect::kSelection);
  }
  return result;
}

HRESULT ComBoxControl::get_List(short index, BSTR* value) {
  const std::wstring* item = model_.List(index);
  return ReturnText(item != nullptr ? *item : std::wstring(), value);
}

HRESULT ComBoxControl::put_List(short index, BSTR value) {
  if (model_.List(index) == nullptr) {
    return S_OK;
  }
  const std::wstring text = com::ToString(value);
  model_.SetList(index, text);
  if (listBox_ != nullptr) {
    SendMessageW(listBox_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(listBox_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
    Show(ComBoxModel::Aspect::kSelection);
  }
  return S_OK;
}

HRESULT ComBoxControl::get_ListCount(short* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.ListCount();
  return S_OK;
}

HRESULT ComBoxControl::get_ListIndex(short* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.ListIndex();
  return S_OK;
}

HRESULT ComBoxControl::put_ListIndex(short value) {
  model_.SetListIndex(value);
  return S_OK;
}

HRESULT ComBoxControl::get_Locked(VARIANT_BOOL* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.Locked() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ComBoxControl::put_Locked(VARIANT_BOOL value) {
  model_.SetLocked(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT ComBoxControl::RemoveItem(short index) {
  const HRESULT result = ListError(model_.RemoveItem(index));
  if (SUCCEEDED(result) && listBox_ != nullptr) {
    SendMessageW(listBox_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    Show(ComBoxModel::Aspect::kSelection);
  }
  return result;
}

HRESULT ComBoxControl::get_Text(BSTR* value) {
  return ReturnText(model_.Text(), value);
}

HRESULT ComBoxControl::put_Text(BSTR value) {
  model_.SetText(com::ToString(value));
  return S_OK;
}

HRESULT ComBoxControl::get_Sorted(VARIANT_BOOL* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.Sorted() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ComBoxControl::Clear() {
  model_.Clear();
  if (listBox_ != nullptr) {
    SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
  }
  return S_OK;
}

HRESULT ComBoxControl::get_MaxLength(LONG* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.MaxLength();
  return S_OK;
}

HRESULT ComBoxControl::put_MaxLength(LONG value) {
  model_.SetMaxLength(value);
  return S_OK;
}

HRESULT ComBoxControl::get_ItemData(short index, VARIANT* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  const std::int32_t* data = model_.ItemData(index);
  if (data == nullptr) {
    return CTL_E_INVALIDPROPERTYARRAYINDEX;
  }
  VariantInit(value);
  value->vt = VT_I4;
  value->lVal = *data;
  return S_OK;
}

HRESULT ComBoxControl::put_ItemData(short index, VARIANT value) {
  com::Variant number;
  if (FAILED(VariantChangeType(number.get(), &value, 0, VT_I4))) {
    return DISP_E_TYPEMISMATCH;
  }
  model_.SetItemData(index, number->lVal);
  return S_OK;
}

}  // namespace svctune::lamina
