#include "corvid_form_control.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "com/class_factory.h"
#include "about_box.h"
#include "com/ambient.h"
#include "com/ole_font.h"
#include "com/registration.h"
#include "com/scene_painter.h"
#include "com/server_module.h"
#include "com/variant.h"
#include "ui/twips.h"
#include "vellum_resources.h"
#include "win/mouse_keys.h"

namespace svctune::vellum {

namespace {

constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE combined with the caption hit code

const com::ControlClass kCorvidFormClass{
    &CLSID_CorvidForm,   &IID__CorvidForm,        &DIID___CorvidForm, &LIBID_Vellum,
    L"VellumCorvidForm", com::kControlMiscStatus, SIZE{4608, 3735}};

int Px(int twips) {
  return TwipsToPixels(twips);
}

RECT PixelRect(const TwipRect& rect, POINT origin) {
  return RECT{origin.x + Px(rect.left), origin.y + Px(rect.top), origin.x + Px(rect.right()),
              origin.y + Px(rect.bottom())};
}

double XTwips(LPARAM lParam) {
  return PixelsToTwips(GET_X_LPARAM(lParam));
}
double YTwips(LPARAM lParam) {
  return PixelsToTwips(GET_Y_LPARAM(lParam));
}

// A picture of the built-in 16 x 16 icon, owning its handle.
com::ComPtr<IPictureDisp> BuiltInIcon() {
  HICON icon = static_cast<HICON>(LoadImageW(com::ServerModule::Instance(),
                                             MAKEINTRESOURCEW(kCorvidIcon), IMAGE_ICON, 16, 16, 0));
  if (icon == nullptr) {
    return com::ComPtr<IPictureDisp>();
  }
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  com::ComPtr<IPictureDisp> picture;
  if (FAILED(
          OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.ReceiveVoid()))) {
    DestroyIcon(icon);
    return com::ComPtr<IPictureDisp>();
  }
  return picture;
}

// Reads one property of a late-bound object by name.
HRESULT GetByName(IDispatch* object, const wchar_t* name, com::Variant& value) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
  if (FAILED(result)) {
    return result;
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  value.Clear();
  return object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                        value.get(), nullptr, nullptr);
}

}  // namespace

HRESULT CorvidFormControl::Create(REFIID iid, void** object) {
  return com::HandOutNew(new (std::nothrow) CorvidFormControl(), iid, object);
}

CorvidFormControl::CorvidFormControl()
    : DualControl<_CorvidForm>(kCorvidFormClass), model_(*this), icon_(BuiltInIcon()) {
  const HINSTANCE module = com::ServerModule::Instance();
  skin_ = win::ScopedBitmap(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(kSkinBitmap), IMAGE_BITMAP, 0, 0, 0)));
  const int glyphs[] = {kCloseInitial, kCloseBright, kCloseDark};
  for (int i = 0; i < 3; ++i) {
    closeGlyphs_[i] = win::ScopedBitmap(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(glyphs[i]), IMAGE_BITMAP, 0, 0, 0)));
  }
  const SIZE size = SizeTwips();
  model_.Relayout(size.cx, size.cy, HasIcon());
}

bool CorvidFormControl::HasIcon() const {
  if (!icon_) {
    return false;
  }
  com::ComPtr<IPicture> picture = icon_.As<IPicture>(IID_IPicture);
  OLE_HANDLE handle = 0;
  return picture && SUCCEEDED(picture->get_Handle(&handle)) && handle != 0;
}

const std::vector<com::BagKey>& CorvidFormControl::BagKeys() const {
  static const std::vector<com::BagKey> keys{{L"Caption", com::BagKind::kText}};
  return keys;
}

void CorvidFormControl::InitProperties(const scene::AmbientInfo&) {
  DrawSkin();
}

void CorvidFormControl::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo&) {
  model_.ReadProperties(bag);
  DrawSkin();
}

void CorvidFormControl::WriteProperties(PropertyBag& bag, const scene::AmbientInfo&) {
  model_.WriteProperties(bag);
}

HRESULT CorvidFormControl::LoadObjects(IPropertyBag* bag, IErrorLog* log) {
  com::Variant value;
  value->vt = VT_DISPATCH;
  value->pdispVal = nullptr;
  if (SUCCEEDED(bag->Read(L"Icon", value.get(), log)) &&
      (value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal != nullptr) {
    com::ComPtr<IPictureDisp> picture;
    if (SUCCEEDED(value->punkVal->QueryInterface(IID_IPictureDisp, picture.ReceiveVoid()))) {
      SetPicture(picture.get());
    }
  }
  return S_OK;
}

HRESULT CorvidFormControl::SaveObjects(IPropertyBag* bag) {
  com::Variant value;
  value->vt = VT_DISPATCH;
  value->pdispVal = icon_.get();
  if (value->pdispVal != nullptr) {
    value->pdispVal->AddRef();
  }
  return bag->Write(L"Icon", value.get());
}

HRESULT CorvidFormControl::LoadObjects(IStream* stream) {
  DWORD length = 0;
  ULONG read = 0;
  if (FAILED(stream->Read(&length, sizeof length, &read)) || read != sizeof length) {
    return E_FAIL;
  }
  if (length == 0) {
    SetPicture(nullptr);
    return S_OK;
  }
  com::ComPtr<IPictureDisp> picture;
  const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(length), FALSE, IID_IPictureDisp,
                                        picture.ReceiveVoid());
  if (FAILED(loaded)) {
    return loaded;
  }
  SetPicture(picture.get());
  return S_OK;
}

HRESULT CorvidFormControl::SaveObjects(IStream* stream) {
  com::ComPtr<IPicture> picture = icon_.As<IPicture>(IID_IPicture);
  com::ComPtr<IStream> buffer;
  LONG size = 0;
  if (!picture || !HasIcon() || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, buffer.Receive())) ||
      FAILED(picture->SaveAsFile(buffer.get(), TRUE, &size)) || size <= 0) {
    const DWORD none = 0;
    return stream->Write(&none, sizeof none, nullptr);
  }
  const DWORD length = static_cast<DWORD>(size);
  HRESULT result = stream->Write(&length, sizeof length, nullptr);
  LARGE_INTEGER start{};
  if (SUCCEEDED(result)) {
    result = buffer->Seek(start, STREAM_SEEK_SET, nullptr);
  }
  if (SUCCEEDED(result)) {
    ULARGE_INTEGER count{};
    count.QuadPart = length;
    result = buffer->CopyTo(stream, count, nullptr, nullptr);
  }
  return result;
}

SIZE CorvidFormControl::ConstrainSize(SIZE sizeTwips) const {
  return SIZE{MinimumWidth(sizeTwips.cx), MinimumHeight(sizeTwips.cy)};
}

HRESULT CorvidFormControl::OnResize(int, int) {
  DrawSkin();
  return S_OK;
}

void CorvidFormControl::OnWindowCreated(HWND) {
  DrawSkin();
}

void CorvidFormControl::DrawSkin() {
  const SIZE size = SizeTwips();
  const SkinLayout& layout = model_.Relayout(size.cx, size.cy, HasIcon());
  if (layout.width != size.cx || layout.height != size.cy) {
    RequestSize(SIZE{layout.width, layout.height});
  }
  if (Window() != nullptr) {
    RECT client{};
    GetClientRect(Window(), &client);
    HRGN region =
        CreateRoundRectRgn(0, 0, client.right, client.bottom, kCornerEllipse, kCornerEllipse);
    if (region != nullptr && SetWindowRgn(Window(), region, TRUE) == 0) {
      DeleteObject(region);
    }
  }
  Invalidate();
}

void CorvidFormControl::Paint(HDC dc, const RECT& bounds) {
  const SkinLayout& layout = model_.Layout();
  const POINT origin{bounds.left, bounds.top};
  {
    win::ScopedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    if (white) {
      FillRect(dc, &bounds, white.get());
    }
  }
  win::ScopedMemoryDc source(CreateCompatibleDC(dc));
  if (!source) {
    return;
  }
  if (skin_) {
    win::SelectedObject selected(source.get(), skin_.get());
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    for (const SkinBlit& blit : layout.frame) {
      const RECT to = PixelRect(blit.destination, origin);
      StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.get(),
                 Px(blit.source.left), Px(blit.source.top), Px(blit.source.width),
                 Px(blit.source.height), SRCCOPY);
    }
    SetStretchBltMode(dc, oldMode);
  }
  if (layout.drawIcon) {
    com::ComPtr<IPicture> picture = icon_.As<IPicture>(IID_IPicture);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (picture && SUCCEEDED(picture->get_Width(&width)) &&
        SUCCEEDED(picture->get_Height(&height))) {
      const RECT to = PixelRect(layout.icon, origin);
      const LONG part = MulDiv(layout.icon.width, 2540, kTwipsPerInch);
      picture->Render(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, height,
                      std::min<LONG>(part, width), -std::min<LONG>(part, height), nullptr);
    }
  }
  const int look = static_cast<int>(model_.Look()) - kCloseInitial;
  if (look >= 0 && look < 3 && closeGlyphs_[look]) {
    win::SelectedObject selected(source.get(), closeGlyphs_[look].get());
    const RECT to = PixelRect(layout.closeButton, origin);
    BITMAP glyph{};
    GetObjectW(closeGlyphs_[look].get(), sizeof glyph, &glyph);
    BitBlt(dc, to.left, to.top, glyph.bmWidth, glyph.bmHeight, source.get(), 0, 0, SRCCOPY);
  }
  const std::wstring& caption = model_.Caption();
  if (!caption.empty()) {
    FontSpec captionFont = Ambient().font;
    captionFont.bold = true;
    win::ScopedFont font = com::CreateGdiFont(captionFont);
    win::SelectedObject selected(dc, font.get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, kCaptionShadowColour);
    const int length = static_cast<int>(caption.size());
    TextOutW(dc, origin.x + Px(layout.captionLeft), origin.y + Px(layout.captionShadowTop),
             caption.c_str(), length);
    SetTextColor(dc, kCaptionColour);
    TextOutW(dc, origin.x + Px(layout.captionLeft), origin.y + Px(layout.captionTop),
             caption.c_str(), length);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
  }
  {
    // The box from (50, 415) to (W - 78, H - 90), both corners included.
    RECT body = PixelRect(layout.body, origin);
    body.right += 1;
    body.bottom += 1;
    win::ScopedBrush brush(CreateSolidBrush(kBodyColour));
    if (brush) {
      FillRect(dc, &body, brush.get());
    }
  }
}

LRESULT CorvidFormControl::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     bool& handled) {
  handled = true;
  const CloseLook before = model_.Look();
  LRESULT result = 0;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const short button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
      SetCapture(window);
      if (model_.MouseDown(button, win::ShiftState(), XTwips(lParam), YTwips(lParam)) ==
          DragRequest::kMoveWindow) {
        model_.MouseUp(button, win::ShiftState(), XTwips(lParam), YTwips(lParam));
        DragHostWindow();
      }
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const short button = message == WM_LBUTTONUP ? 1 : message == WM_RBUTTONUP ? 2 : 4;
      if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == window) {
        ReleaseCapture();
      }
      model_.MouseUp(button, win::ShiftState(), XTwips(lParam), YTwips(lParam));
      break;
    }
    case WM_LBUTTONDBLCLK:
      model_.DoubleClick(XTwips(lParam), YTwips(lParam));
      break;
    case WM_MOUSEMOVE:
      model_.MouseMove(win::ButtonsOf(wParam), win::ShiftState(), XTwips(lParam), YTwips(lParam));
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT pointer{};
        GetCursorPos(&pointer);
        ScreenToClient(window, &pointer);
        HCURSOR cursor = nullptr;
        if (model_.PartAt(PixelsToTwips(pointer.x), PixelsToTwips(pointer.y)) ==
            SkinPart::kCloseButton) {
          cursor = LoadCursorW(com::ServerModule::Instance(), MAKEINTRESOURCEW(kCloseCursor));
        }
        SetCursor(cursor != nullptr ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
        result = TRUE;
      } else {
        handled = false;
      }
      break;
    default:
      handled = false;
      break;
  }
  if (model_.Look() != before) {
    Invalidate();
  }
  return result;
}

void CorvidFormControl::DragHostWindow() {
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32646)));  // IDC_SIZEALL
  ReleaseCapture();
  const HWND host = reinterpret_cast<HWND>(static_cast<LONG_PTR>(model_.Hwnd()));
  if (host != nullptr && IsWindow(host)) {
    SendMessageW(host, WM_SYSCOMMAND, kMoveByCaption, 0);
  }
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
}

// ---- Events -----------------------------------------------------------------------------

void CorvidFormControl::UnloadClick() {
  Fire(1);
}
void CorvidFormControl::Click() {
  Fire(2);
}
void CorvidFormControl::DblClick() {
  Fire(3);
}

void CorvidFormControl::MouseMove(short& button, short& shift, float& x, float& y) {
  FireMouse(4, button, shift, x, y);
}

void CorvidFormControl::MouseUp(short& button, short& shift, float& x, float& y) {
  FireMouse(5, button, shift, x, y);
}

void CorvidFormControl::MouseDown(short& button, short& shift, float& x, float& y) {
  FireMouse(6, button, shift, x, y);
}

// ---- Members ----------------------------------------------------------------------------

HRESULT CorvidFormControl::SetRgn(VARIANT Obj, LONG Rgn) {
  VARIANT* target = &Obj;
  while (target->vt == (VT_BYREF | VT_VARIANT) && target->pvarVal != nullptr) {
    target = target->pvarVal;
  }
  IUnknown* unknown = nullptr;
  if (target->vt == VT_DISPATCH || target->vt == VT_UNKNOWN) {
    unknown = target->punkVal;
  } else if (target->vt == (VT_BYREF | VT_DISPATCH) || target->vt == (VT_BYREF | VT_UNKNOWN)) {
    unknown = target->ppunkVal != nullptr ? *target->ppunkVal : nullptr;
  }
  com::ComPtr<IDispatch> object;
  if (unknown == nullptr || FAILED(unknown->QueryInterface(IID_IDispatch, object.ReceiveVoid()))) {
    return DISP_E_TYPEMISMATCH;
  }
  com::Variant width;
  com::Variant height;
  com::Variant handle;
  HRESULT result = GetByName(object.get(), L"Width", width);
  if (SUCCEEDED(result)) {
    result = GetByName(object.get(), L"Height", height);
  }
  if (SUCCEEDED(result)) {
    result = GetByName(object.get(), L"hwnd", handle);
  }
  if (FAILED(result)) {
    return result;
  }
  if (!width.ChangeTo(VT_R8) || !height.ChangeTo(VT_R8) || !handle.ChangeTo(VT_I4)) {
    return DISP_E_TYPEMISMATCH;
  }
  const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle->lVal));
  const int widthPixels = TwipsToPixels(static_cast<int>(std::lround(width->dblVal)));
  const int heightPixels = TwipsToPixels(static_cast<int>(std::lround(height->dblVal)));
  HRGN region = CreateRoundRectRgn(0, 0, widthPixels, heightPixels, Rgn, Rgn);
  if (region == nullptr) {
    return E_OUTOFMEMORY;
  }
  // The window owns the region from here on; only a refused region is ours to delete.
  if (SetWindowRgn(window, region, TRUE) == 0) {
    DeleteObject(region);
  }
  return S_OK;
}

HRESULT CorvidFormControl::get_hwnd(LONG* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = model_.Hwnd();
  return S_OK;
}

HRESULT CorvidFormControl::put_hwnd(LONG value) {
  model_.SetHwnd(value);
  PropertyChanged(L"hwnd");
  return S_OK;
}

HRESULT CorvidFormControl::get_Caption(BSTR* value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  const std::wstring& caption = model_.Caption();
  *value = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
  return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CorvidFormControl::put_Caption(BSTR value) {
  model_.SetCaption(com::ToString(value));
  PropertyChanged(L"Caption");
  DrawSkin();
  return S_OK;
}

HRESULT CorvidFormControl::ShowAbout() {
  HWND owner = Window() != nullptr ? GetAncestor(Window(), GA_ROOT) : GetActiveWindow();
  ShowAboutBox(owner);
  return S_OK;
}

HRESULT CorvidFormControl::get_Icon(IPictureDisp** value) {
  if (value == nullptr) {
    return E_POINTER;
  }
  *value = icon_.get();
  if (*value != nullptr) {
    (*value)->AddRef();
  }
  return S_OK;
}

void CorvidFormControl::SetPicture(IPictureDisp* picture) {
  icon_ = com::ComPtr<IPictureDisp>(picture);
  DrawSkin();
}

HRESULT CorvidFormControl::put_Icon(IPictureDisp* value) {
  SetPicture(value);
  PropertyChanged(L"Icon");
  return S_OK;
}

HRESULT CorvidFormControl::putref_Icon(IPictureDisp* value) {
  return put_Icon(value);
}

}  // namespace svctune::vellum
