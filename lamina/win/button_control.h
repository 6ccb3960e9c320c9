#pragma once

#include "button_model.h"
#include "com/control_base.h"
#include "com/font_property.h"
#include "lamina_h.h"

namespace svctune::lamina {

// Lamina.Button: the flat button model behind the OLE control plumbing.
class ButtonControl final : public com::DualControl<_Button>, private ButtonEvents {
 public:
  static HRESULT Create(REFIID iid, void** object);

  // _Button
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
  HRESULT STDMETHODCALLTYPE get_FocusFore(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_FocusFore(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_FocusBack(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_FocusBack(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_UnFocusFore(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_UnFocusFore(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_UnFocusBack(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_UnFocusBack(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;

 private:
  ButtonControl();

  const std::vector<com::BagKey>& BagKeys() const override;
  void InitProperties(const scene::AmbientInfo& ambient) override;
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  HRESULT OnResize(int widthTwips, int heightTwips) override;
  void Paint(HDC dc, const RECT& bounds) override;
  void OnWindowCreated(HWND window) override;
  void OnWindowDestroying(HWND window) override;
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled) override;
  bool HandlesKey(WPARAM key) const override { return key == VK_RETURN; }
  bool WantsCharacters() const override { return true; }

  // ButtonEvents: raised to the connected sinks.
  void Click() override;
  void MouseUp(short& button, short& shift, float& x, float& y) override;
  void MouseDown(short& button, short& shift, float& x, float& y) override;
  void MouseMove(short& button, short& shift, float& x, float& y) override;
  void KeyUp(short& keyCode, short& shift) override;
  void KeyDown(short& keyCode, short& shift) override;
  void KeyPress(short& keyAscii) override;

  void SwitchTimer(bool enabled);

  ButtonModel model_;
  com::FontProperty font_;
};

}  // namespace svctune::lamina
