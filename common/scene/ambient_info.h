#pragma once

#include <string>

#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::scene {

// What a control learns from its host: the ambient properties of the site and the instance
// name the host gave it (the extender's Name, or the ambient display name).
struct AmbientInfo {
  bool userMode = true;
  FontSpec font;
  OleColour backColour = kButtonFace;
  std::wstring displayName;
};

}  // namespace svctune::scene
