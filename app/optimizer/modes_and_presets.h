#pragma once

#include <functional>
#include <string>
#include <vector>

#include "optimizer/start_type_triads.h"
#include "ui/control_state.h"

namespace svctune {

inline constexpr std::wstring_view kThoroughPreset = L"细致优化";
inline constexpr std::wstring_view kOrdinaryPreset = L"普通优化";

// The mode options and the preset list above the service list:
//   Option1 "手动优化" clears every box and locks the list,
//   Option2 "选择优化" unlocks the list,
//   XPCombo1, the list, applies the preset its current text names.
// Every box change goes through the triads, so it is written at once.
class ModesAndPresets {
 public:
  explicit ModesAndPresets(StartTypeTriads& triads);
  ModesAndPresets(const ModesAndPresets&) = delete;
  ModesAndPresets& operator=(const ModesAndPresets&) = delete;

  // Option1 and Option2 (index 1 or 2). Selecting one deselects the other; its handler runs
  // only when it becomes selected.
  bool OptionSelected(int index) const;
  void SetOption(int index, bool selected);

  // XPCombo1.
  const std::vector<std::wstring>& Items() const { return items_; }
  int ListIndex() const { return listIndex_.Get(); }
  bool ListEnabled() const { return listEnabled_; }
  std::wstring ListText() const;
  void ClearList();
  // Appends the texts in order, with one change notice for all of them.
  void AddItems(std::vector<std::wstring> texts);
  // Selection by program: -1 for none or an index of the list. Runs the preset handling when
  // the selection changes; false (and nothing changes) for an index outside the list.
  bool SetListIndex(int index);
  // The user's choice of an item: applies its preset even when it is already selected.
  void ChooseItem(int index);

  // Adds a listener called after the options, the list's items, selection or enabled flag
  // changed. A new selection is told before its preset is applied.
  void OnChanged(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

 private:
  void OnOption1Click();
  void OnOption2Click();
  void OnXPCombo1Click();
  void ApplyPreset(bool thorough);
  void Notify() const;

  StartTypeTriads& triads_;
  ControlState<bool> option1_{true};
  ControlState<bool> option2_{false};
  ControlState<int> listIndex_{-1};
  std::vector<std::wstring> items_;
  bool listEnabled_ = false;
  std::vector<std::function<void()>> listeners_;
};

}  // namespace svctune
