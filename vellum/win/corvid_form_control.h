#pragma once

#include "com/control_base.h"
#include "corvid_form_model.h"
#include "vellum_h.h"
#include "win/scoped_gdi.h"

namespace svctune::vellum {

// Vellum.CorvidForm: the skinned window frame behind the OLE control plumbing.
class CorvidFormControl final : public com::DualControl<_CorvidForm>, private CorvidFormEvents {
 public:
  static HRESULT Create(REFIID iid, void** object);

  // _CorvidForm
  HRESULT STDMETHODCALLTYPE SetRgn(VARIANT Obj, LONG Rgn) override;
  HRESULT STDMETHODCALLTYPE get_hwnd(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_hwnd(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR value) override;
  HRESULT STDMETHODCALLTYPE ShowAbout() override;
  HRESULT STDMETHODCALLTYPE get_Icon(IPictureDisp** value) override;
  HRESULT STDMETHODCALLTYPE put_Icon(IPictureDisp* value) override;
  HRESULT STDMETHODCALLTYPE putref_Icon(IPictureDisp* value) override;

 private:
  CorvidFormControl();

  const std::vector<com::BagKey>& BagKeys() const override;
  void InitProperties(const scene::AmbientInfo& ambient) override;
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  HRESULT LoadObjects(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT SaveObjects(IPropertyBag* bag) override;
  HRESULT LoadObjects(IStream* stream) override;
  HRESULT SaveObjects(IStream* stream) override;
  HRESULT OnResize(int widthTwips, int heightTwips) override;
  SIZE ConstrainSize(SIZE sizeTwips) const override;
  void Paint(HDC dc, const RECT& bounds) override;
  void OnWindowCreated(HWND window) override;
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled) override;

  // CorvidFormEvents: raised to the connected sinks.
  void UnloadClick() override;
  void Click() override;
  void DblClick() override;
  void MouseMove(short& button, short& shift, float& x, float& y) override;
  void MouseUp(short& button, short& shift, float& x, float& y) override;
  void MouseDown(short& button, short& shift, float& x, float& y) override;

  // DrawSkin: lays the frame out for the current size and picture, gives the control window
  // its rounded region and repaints.
  void DrawSkin();
  bool HasIcon() const;
  void SetPicture(IPictureDisp* picture);
  void DragHostWindow();

  CorvidFormModel model_;
  com::ComPtr<IPictureDisp> icon_;
  win::ScopedBitmap skin_;
  win::ScopedBitmap closeGlyphs_[3];
};

}  // namespace svctune::vellum
