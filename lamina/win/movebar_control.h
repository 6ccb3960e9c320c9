#pragma once

#include "com/control_base.h"
#include "com/font_property.h"
#include "lamina_h.h"
#include "movebar_model.h"
#include "win/scoped_gdi.h"

namespace svctune::lamina {

// Lamina.MoveBar: the move bar model behind the OLE control plumbing; the window system it
// acts on is the window that holds the control.
class MoveBarControl final : public com::DualControl<_MoveBar> {
 public:
  static HRESULT Create(REFIID iid, void** object);

  // _MoveBar
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
  HRESULT STDMETHODCALLTYPE get_Minimize(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Minimize(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Maximum(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Maximum(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_NorClose(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_NorClose(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;

 private:
  MoveBarControl();

  const std::vector<com::BagKey>& BagKeys() const override;
  void InitProperties(const scene::AmbientInfo& ambient) override;
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  HRESULT OnResize(int widthTwips, int heightTwips) override;
  void Paint(HDC dc, const RECT& bounds) override;
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled) override;

  // The window system as the bar acts on it, through the window that holds the control.
  class HolderWindows final : public WindowSystem {
   public:
    explicit HolderWindows(MoveBarControl& control) : control_(control) {}
    WindowHandle HolderWindow() override;
    std::optional<ScreenRect> WindowRect(WindowHandle window) override;
    std::optional<ScreenRect> DesktopRect() override;
    std::optional<ScreenRect> TaskbarRect() override;
    std::optional<ScreenPoint> CursorPos() override;
    void ShowWindow(WindowHandle window, int command) override;
    void PlaceWindow(WindowHandle window, int x, int y, int width, int height) override;
    void MoveWindow(WindowHandle window, int x, int y) override;
    void Close(WindowHandle window) override;
    void SetTitle(WindowHandle window, const std::wstring& title) override;
    bool PumpOnce() override;

   private:
    MoveBarControl& control_;
  };

  HolderWindows windows_;
  MoveBarModel model_;
  win::ScopedIcon icon_;
  com::FontProperty font_;
};

}  // namespace svctune::lamina
