#include "optimizer/start_type_triads.h"

namespace svctune {

StartTypeTriads::StartTypeTriads(registry::RegistryAccess& registry) : registry_(registry) {
  for (int box : ServiceCatalogue::BoxNumbers()) {
    boxes_[box].state.OnChange([this, box] { CheckClick(box); });
  }
}

int StartTypeTriads::State(int box) const {
  return ServiceCatalogue::FindBox(box) ? boxes_[box].state.Get() : kUnticked;
}

bool StartTypeTriads::Enabled(int box) const {
  return ServiceCatalogue::FindBox(box) && boxes_[box].enabled;
}

void StartTypeTriads::SetState(int box, int state) {
  if (!ServiceCatalogue::FindBox(box) || state < kUnticked || state > kGreyed) {
    return;
  }
  boxes_[box].state.Set(state);
}

void StartTypeTriads::Click(int box) {
  if (!Enabled(box)) {
    return;
  }
  SetState(box, boxes_[box].state.Get() == kUnticked ? kTicked : kUnticked);
}

void StartTypeTriads::SetEnabled(int box, bool enabled) {
  if (!ServiceCatalogue::FindBox(box) || boxes_[box].enabled == enabled) {
    return;
  }
  boxes_[box].enabled = enabled;
  Notify(box);
}

void StartTypeTriads::ClearWithoutWriting() {
  for (int box : ServiceCatalogue::BoxNumbers()) {
    Clear(box);
  }
}

void StartTypeTriads::TickOnly(const ServiceEntry& entry, StartType type) {
  for (int box : {entry.automaticBox, entry.manualBox, entry.disabledBox}) {
    Clear(box);
  }
  SetState(entry.BoxOf(type), kTicked);
}

void StartTypeTriads::Clear(int box) {
  Box& slot = boxes_[box];
  if (slot.state.Get() != kUnticked || !slot.enabled) {
    slot.state.Reset(kUnticked);
    slot.enabled = true;
    Notify(box);
  }
}

// The handler of every box. 自动: ticked writes 2, unticked writes nothing. 手动 and 禁用:
// ticked writes 3 or 4, unticked writes 2.
void StartTypeTriads::CheckClick(int box) {
  const BoxInfo info = *ServiceCatalogue::FindBox(box);
  Notify(box);
  const bool ticked = boxes_[box].state.Get() == kTicked;
  SetPartnersEnabled(*info.entry, box, !ticked);
  if (ticked) {
    WriteStartType(*info.entry, info.type);
  } else if (info.type != StartType::kAutomatic) {
    WriteStartType(*info.entry, StartType::kAutomatic);
  }
}

void StartTypeTriads::SetPartnersEnabled(const ServiceEntry& entry, int box, bool enabled) {
  for (int partner : {entry.automaticBox, entry.manualBox, entry.disabledBox}) {
    if (partner != box) {
      SetEnabled(partner, enabled);
    }
  }
}

void StartTypeTriads::WriteStartType(const ServiceEntry& entry, StartType type) {
  if (!MayWrite(entry)) {
    return;
  }
  const ServiceLocation location = ServiceCatalogue::LocationOf(entry);
  registry_.SetKeyValue(location.root, location.path, location.valueName,
                        std::wstring(StartTypeDigit(type)), registry::kRegDword);
  for (const auto& listener : writeListeners_) {
    listener(entry, type);
  }
}

void StartTypeTriads::Notify(int box) const {
  for (const auto& listener : listeners_) {
    listener(box);
  }
}

}  // namespace svctune
