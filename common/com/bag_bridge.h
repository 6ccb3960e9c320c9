#pragma once

#include <ocidl.h>

#include <vector>

#include "ui/property_bag.h"

namespace svctune::com {

enum class BagKind { kBool, kInt32, kText, kFont };

// One persisted property: its key as declared and the kind of value it holds.
struct BagKey {
  const wchar_t* name;
  BagKind kind;
};

// Reads the keys a control knows from a host's property bag. Keys the bag does not hold, and
// values that cannot be turned into the key's kind, are left out, so the control's reads fall
// back to their defaults.
PropertyBag ReadBag(IPropertyBag* bag, IErrorLog* log, const std::vector<BagKey>& keys);

// Writes the values present in the store to the host's bag, in the order of keys and under
// their declared spelling.
HRESULT WriteBag(IPropertyBag* bag, const PropertyBag& values, const std::vector<BagKey>& keys);

}  // namespace svctune::com
