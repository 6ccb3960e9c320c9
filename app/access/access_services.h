#pragma once

#include "registry/registry_access.h"
#include "text/ansi_codec.h"
#include "ui/message_presenter.h"

namespace svctune::access {

// What the password windows work with: the registry layer, the system's ANSI code page (the
// cipher works on ANSI codes) and the message boxes. The program owns all three; they
// outlive every window.
struct AccessServices {
  registry::RegistryAccess& registry;
  const AnsiCodec& codec;
  MessagePresenter& messages;
};

}  // namespace svctune::access
