#pragma once

#include <ocidl.h>

#include <map>
#include <string>

#include "com/com_ptr.h"
#include "ui/property_bag.h"

namespace svctune::host {

// The host's property bag as a control sees it (IPropertyBag): plain values live in a
// PropertyBag (keys without regard to letter case), fonts are handed out as font objects, and
// other objects a control stores (pictures) are kept as they are.
class BagAdapter final : public IPropertyBag {
 public:
  // A new adapter with one reference, over a copy of values.
  static BagAdapter* Create(const PropertyBag& values);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

  const PropertyBag& Values() const { return values_; }

 private:
  explicit BagAdapter(const PropertyBag& values) : values_(values) {}
  ~BagAdapter() = default;
  static std::wstring Fold(const std::wstring& name);

  LONG references_ = 1;
  PropertyBag values_;
  std::map<std::wstring, com::ComPtr<IUnknown>> objects_;
};

}  // namespace svctune::host
