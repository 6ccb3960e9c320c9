#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <functional>

#include "com/com_ptr.h"
#include "ui/property_bag.h"

namespace svctune::com {

// A control's Font property, held by reference: the font object the control hands out, or the
// one it was given, stays the control's font, and every change made through that object
// reaches the control (it listens on the object's property-change notices) as a new
// description. Part of its control: it counts no references of its own.
class FontProperty final : public IPropertyNotifySink {
 public:
  using Changed = std::function<void(const FontSpec&)>;

  explicit FontProperty(Changed changed);
  ~FontProperty();
  FontProperty(const FontProperty&) = delete;
  FontProperty& operator=(const FontProperty&) = delete;

  // The property get: the object held, made from current when there is none yet.
  HRESULT Get(const FontSpec& current, IFontDisp** value);
  // The property set by reference: holds value and reports its description as a change.
  HRESULT Set(IFontDisp* value, const FontSpec& current);
  // Lets the object go (the settings were read anew); the next Get makes a fresh one.
  void Reset();

  // IUnknown, IPropertyNotifySink
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID dispid) override;
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

 private:
  void Hold(IFontDisp* font);

  Changed changed_;
  ComPtr<IFontDisp> font_;
  ComPtr<IConnectionPoint> notices_;
  DWORD cookie_ = 0;
  FontSpec described_;
};

}  // namespace svctune::com
