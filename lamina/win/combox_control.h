#pragma once

#include "com/child_windows.h"
#include "com/control_base.h"
#include "com/font_property.h"
#include "combox_model.h"
#include "lamina_h.h"

namespace svctune::lamina {

// Lamina.ComBox: the combo box model behind the OLE control plumbing, with a real text box
// and list box as children of the control's window.
class ComBoxControl final : public com::DualControl<_ComBox>, private ComBoxEvents {
 public:
  static HRESULT Create(REFIID iid, void** object);

  // _ComBox
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_ForeColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_ForeColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
  HRESULT STDMETHODCALLTYPE AddItem(BSTR item, VARIANT index) override;
  HRESULT STDMETHODCALLTYPE get_List(short index, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_List(short index, BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_ListCount(short* value) override;
  HRESULT STDMETHODCALLTYPE get_ListIndex(short* value) override;
  HRESULT STDMETHODCALLTYPE put_ListIndex(short value) override;
  HRESULT STDMETHODCALLTYPE get_Locked(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Locked(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE RemoveItem(short index) override;
  HRESULT STDMETHODCALLTYPE get_Text(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Sorted(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE Clear() override;
  HRESULT STDMETHODCALLTYPE get_MaxLength(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_MaxLength(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_ItemData(short index, VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_ItemData(short index, VARIANT value) override;

 private:
  ComBoxControl();

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

  // ComBoxEvents: raised to the connected sinks.
  void Change() override;
  void Click() override;
  void KeyDown(short& keyCode, short& shift) override;
  void KeyPress(short& keyAscii) override;
  void KeyUp(short& keyCode, short& shift) override;

  // Shows what the model says in the child windows.
  void Show(ComBoxModel::Aspect aspect);
  void ShowAll();
  void FillList();
  void TextBoxKey(UINT message, WPARAM key);
  void ListMouse(UINT message, LPARAM position);

  ComBoxModel model_;
  com::ChildWindows children_;
  HWND textBox_ = nullptr;
  HWND listBox_ = nullptr;
  bool showingText_ = false;
  com::FontProperty font_;
};

}  // namespace svctune::lamina
