#pragma once

#include "com/control_base.h"
#include "lamina_h.h"
#include "scroll_model.h"

namespace svctune::lamina {

// Lamina.Vscroll (Dual = _Vscroll) and Lamina.Hscroll (Dual = _Hscroll): the flat scroll bar
// model behind the OLE control plumbing. The two default interfaces have the same members.
template <typename Dual>
class ScrollControl final : public com::DualControl<Dual>, private ScrollEvents {
 public:
  static HRESULT Create(REFIID iid, void** object);

  HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_UnFocusFC(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_UnFocusFC(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_FocusBC(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_FocusBC(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_FocusFC(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_FocusFC(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_UnFocusBC(OLE_COLOR* value) override;
  HRESULT STDMETHODCALLTYPE put_UnFocusBC(OLE_COLOR value) override;
  HRESULT STDMETHODCALLTYPE get_Max(short* value) override;
  HRESULT STDMETHODCALLTYPE put_Max(short value) override;
  HRESULT STDMETHODCALLTYPE get_Min(short* value) override;
  HRESULT STDMETHODCALLTYPE put_Min(short value) override;
  HRESULT STDMETHODCALLTYPE get_MinChange(short* value) override;
  HRESULT STDMETHODCALLTYPE put_MinChange(short value) override;
  HRESULT STDMETHODCALLTYPE get_MaxChange(short* value) override;
  HRESULT STDMETHODCALLTYPE put_MaxChange(short value) override;
  HRESULT STDMETHODCALLTYPE get_MoveValue(short* value) override;
  HRESULT STDMETHODCALLTYPE put_MoveValue(short value) override;

 private:
  ScrollControl();

  const std::vector<com::BagKey>& BagKeys() const override;
  void InitProperties(const scene::AmbientInfo& ambient) override;
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) override;
  HRESULT OnResize(int widthTwips, int heightTwips) override;
  SIZE ConstrainSize(SIZE sizeTwips) const override;
  void Paint(HDC dc, const RECT& bounds) override;
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& handled) override;
  bool HandlesKey(WPARAM key) const override;

  // ScrollEvents: raised to the connected sinks.
  void Change() override;

  ScrollModel model_;
};

using VscrollControl = ScrollControl<_Vscroll>;
using HscrollControl = ScrollControl<_Hscroll>;

}  // namespace svctune::lamina
