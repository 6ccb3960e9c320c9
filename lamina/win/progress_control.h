#pragma once

#include "com/control_base.h"
#include "com/font_property.h"
#include "lamina_h.h"
#include "progress_model.h"

namespace svctune::lamina {

// Lamina.Progress: the flat progress bar model behind the OLE control plumbing.
class ProgressControl final : public com::DualControl<_Progress>, private ProgressEvents {
 public:
  static HRESULT Create(REFIID iid, void** object);

  // _Progress
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp** value) override;
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp* value) override;
  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_FillColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_FillColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_Max(short* value) override;
  HRESULT STDMETHODCALLTYPE put_Max(short value) override;
  HRESULT STDMETHODCALLTYPE get_Value(short* value) override;
  HRESULT STDMETHODCALLTYPE put_Value(short value) override;
  HRESULT STDMETHODCALLTYPE get_Vertical(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Vertical(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_ShowTxt(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ShowTxt(VARIANT_BOOL value) override;

 private:
  ProgressControl();

  const std::vector<com::BagKey>& BagKeys() const override;
  void InitProperties(const scene::AmbientInfo& ambient) override;
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  HRESULT OnResize(int widthTwips, int heightTwips) override;
  void Paint(HDC dc, const RECT& bounds) override;
  LRESULT OnMessage(HWND, UINT, WPARAM, LPARAM, bool& handled) override {
    handled = false;
    return 0;
  }

  // ProgressEvents: raised to the connected sinks.
  void Progress(short& value) override;

  ProgressModel model_;
  com::FontProperty font_;
};

}  // namespace svctune::lamina
