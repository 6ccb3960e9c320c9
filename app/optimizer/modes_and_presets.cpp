#include "optimizer/modes_and_presets.h"

#include <iterator>

namespace svctune {

ModesAndPresets::ModesAndPresets(StartTypeTriads& triads) : triads_(triads) {
  option1_.OnChange([this] {
    if (option1_.Get()) {
      option2_.Set(false);
      OnOption1Click();
    }
    Notify();
  });
  option2_.OnChange([this] {
    if (option2_.Get()) {
      option1_.Set(false);
      OnOption2Click();
    }
    Notify();
  });
  listIndex_.OnChange([this] {
    Notify();
    OnXPCombo1Click();
  });
}

bool ModesAndPresets::OptionSelected(int index) const {
  return index == 1 ? option1_.Get() : index == 2 && option2_.Get();
}

void ModesAndPresets::SetOption(int index, bool selected) {
  if (index == 1) {
    option1_.Set(selected);
  } else if (index == 2) {
    option2_.Set(selected);
  }
}

std::wstring ModesAndPresets::ListText() const {
  const int index = listIndex_.Get();
  return index >= 0 ? items_[static_cast<std::size_t>(index)] : std::wstring();
}

void ModesAndPresets::ClearList() {
  items_.clear();
  // Emptying the list drops the selection without choosing anything.
  listIndex_.Reset(-1);
  Notify();
}

void ModesAndPresets::AddItems(std::vector<std::wstring> texts) {
  if (texts.empty()) {
    return;
  }
  items_.insert(items_.end(), std::make_move_iterator(texts.begin()),
                std::make_move_iterator(texts.end()));
  Notify();
}

bool ModesAndPresets::SetListIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) {
    return false;
  }
  listIndex_.Set(index);
  return true;
}

void ModesAndPresets::ChooseItem(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) {
    return;
  }
  if (index == listIndex_.Get()) {
    OnXPCombo1Click();
  } else {
    listIndex_.Set(index);
  }
}

// Manual mode: lock the list, then clear every box in increasing order of its number.
void ModesAndPresets::OnOption1Click() {
  listEnabled_ = false;
  for (int box : ServiceCatalogue::BoxNumbers()) {
    triads_.SetState(box, kUnticked);
  }
}

void ModesAndPresets::OnOption2Click() {
  listEnabled_ = true;
}

void ModesAndPresets::OnXPCombo1Click() {
  const std::wstring text = ListText();
  if (text == kThoroughPreset) {
    ApplyPreset(true);
  } else if (text == kOrdinaryPreset) {
    ApplyPreset(false);
  }
}

// Ticks the preset's box of every entry in the pages' reading order. Where the two presets
// differ, the other preset's box is then cleared and the 手动 box locked again, so switching
// presets leaves one ticked box per entry: 66 steps in all.
void ModesAndPresets::ApplyPreset(bool thorough) {
  for (int number : ServiceCatalogue::ReadingOrder()) {
    const ServiceEntry& entry = *ServiceCatalogue::FindEntry(number);
    const StartType mine = thorough ? entry.thorough : entry.ordinary;
    const StartType other = thorough ? entry.ordinary : entry.thorough;
    triads_.SetState(entry.BoxOf(mine), kTicked);
    if (mine != other) {
      triads_.SetState(entry.BoxOf(other), kUnticked);
      triads_.SetEnabled(entry.manualBox, false);
    }
  }
}

void ModesAndPresets::Notify() const {
  for (const auto& listener : listeners_) {
    listener();
  }
}

}  // namespace svctune
