#pragma once

#include <oleidl.h>

#include <optional>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "scene/ambient_info.h"

namespace svctune::com {

// Reads one ambient property of a client site; false when the site has none.
bool ReadAmbient(IOleClientSite* site, DISPID dispid, Variant& value);

// The ambient properties a control uses, with the defaults of a site that gives none:
// user mode on, the system's GB2312 font, the button face colour, and as the instance name the
// extender's Name (the ambient display name when there is no extender).
scene::AmbientInfo ReadAmbientInfo(IOleClientSite* site);

}  // namespace svctune::com
