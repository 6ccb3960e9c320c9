#include "optimizer/saved_choices.h"

#include <optional>

namespace svctune {
namespace {

constexpr std::wstring_view kSettingsBase = L"SOFTWARE";

// The names of a control's saved state: under SOFTWARE, key App+S+Chek, sub-key S+Chek,
// value S+ChekValue, for the control's settings stem S.
struct SettingsNames {
  std::wstring key;
  std::wstring subKey;
  std::wstring value;
};

SettingsNames NamesOf(const std::wstring& stem) {
  return {L"App" + stem + L"Chek", stem + L"Chek", stem + L"ChekValue"};
}

std::wstring OptionStem(int option) {
  return ServiceCatalogue::SettingsStem(L"Option" + std::to_wstring(option));
}

std::wstring Folded(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') {
      c = static_cast<wchar_t>(c - L'A' + L'a');
    }
  }
  return text;
}

// The saved text of a box: "0", "1" or "2".
std::optional<int> BoxStateOf(const registry::Variant& saved) {
  const auto* text = std::get_if<std::wstring>(&saved);
  if (text != nullptr && text->size() == 1 && (*text)[0] >= L'0' && (*text)[0] <= L'2') {
    return (*text)[0] - L'0';
  }
  return std::nullopt;
}

// The saved text of an option: "True" or "False", in any letter case.
std::optional<bool> OptionStateOf(const registry::Variant& saved) {
  const auto* text = std::get_if<std::wstring>(&saved);
  if (text == nullptr) {
    return std::nullopt;
  }
  const std::wstring folded = Folded(*text);
  if (folded == L"true" || folded == L"false") {
    return folded == L"true";
  }
  return std::nullopt;
}

}  // namespace

SavedChoices::SavedChoices(registry::RegistryAccess& registry, PresetFileStore& presetFile,
                           const AnsiCodec& codePage936, StartTypeTriads& triads,
                           ModesAndPresets& modes)
    : registry_(registry),
      presetFile_(presetFile),
      codePage936_(codePage936),
      triads_(triads),
      modes_(modes) {
  triads_.OnBoxChanged([this](int box) { OnBoxChanged(box); });
  modes_.OnChanged([this] { OnModesChanged(); });
}

void SavedChoices::LoadPresetList() {
  modes_.ClearList();
  const PresetFileRead read = presetFile_.Read();
  if (read.outcome == PresetFileRead::Outcome::kFailed) {
    file_ = FileCondition::kUnreadable;
    return;
  }
  if (read.outcome == PresetFileRead::Outcome::kMissing) {
    return;
  }
  PresetFileContent content = ParsePresetFile(read.bytes, codePage936_);
  file_ = content.whole ? FileCondition::kWhole : FileCondition::kNotReadWhole;
  modes_.AddItems(std::move(content.items));
  if (content.selectedIndex) {
    modes_.SetListIndex(*content.selectedIndex);
  }
}

registry::Variant SavedChoices::ReadSaved(const std::wstring& stem) {
  const SettingsNames names = NamesOf(stem);
  return registry_.ReadSetting(names.key, names.subKey, names.value, L"", registry::kLocalMachine,
                               kSettingsBase, false);
}

void SavedChoices::WriteSaved(const std::wstring& stem, const std::wstring& text) {
  const SettingsNames names = NamesOf(stem);
  registry_.WriteSetting(names.key, names.subKey, names.value, text, registry::kLocalMachine,
                         kSettingsBase, registry::kRegSz);
}

// The saved states stay stored: the next start finds them again unless a change replaces them.
// What is in place once the restore has run is what the next start would bring back, so only
// changes from here on are written.
void SavedChoices::RestoreControlStates() {
  for (int box : ServiceCatalogue::BoxNumbers()) {
    if (const std::optional<int> state = BoxStateOf(ReadSaved(ServiceCatalogue::BoxStem(box)))) {
      triads_.SetState(box, *state);
    }
  }
  for (int option : {1, 2}) {
    if (const std::optional<bool> selected = OptionStateOf(ReadSaved(OptionStem(option)))) {
      modes_.SetOption(option, *selected);
    }
  }
  for (int box : ServiceCatalogue::BoxNumbers()) {
    savedBoxes_[box] = triads_.State(box);
  }
  for (int option : {1, 2}) {
    savedOptions_[option] = modes_.OptionSelected(option);
  }
  savedListIndex_ = modes_.ListIndex();
  following_ = true;
}

void SavedChoices::SaveAll() {
  SavePresetList();
  for (int box : ServiceCatalogue::BoxNumbers()) {
    SaveBox(box);
  }
  for (int option : {1, 2}) {
    SaveOption(option);
  }
}

void SavedChoices::OnBoxChanged(int box) {
  if (following_ && triads_.State(box) != savedBoxes_[box]) {
    SaveBox(box);
  }
}

void SavedChoices::OnModesChanged() {
  if (!following_) {
    return;
  }
  for (int option : {1, 2}) {
    if (modes_.OptionSelected(option) != savedOptions_[option]) {
      SaveOption(option);
    }
  }
  if (modes_.ListIndex() != savedListIndex_) {
    SavePresetList();
  }
}

// A file that could not be read is left as it is. One that was not read whole is kept as
// TQSE.ini.bak before it is replaced, and left as it is when even that copy fails. Once
// replaced, the file holds exactly the list, and a later write keeps no copy of it.
void SavedChoices::SavePresetList() {
  if (file_ == FileCondition::kUnreadable ||
      (file_ == FileCondition::kNotReadWhole && !presetFile_.KeepBackup())) {
    return;
  }
  if (presetFile_.Write(FormatPresetFile(modes_.Items(), modes_.ListIndex(), codePage936_))) {
    file_ = FileCondition::kWhole;
    savedListIndex_ = modes_.ListIndex();
  }
}

void SavedChoices::SaveBox(int box) {
  const int state = triads_.State(box);
  WriteSaved(ServiceCatalogue::BoxStem(box), std::to_wstring(state));
  savedBoxes_[box] = state;
}

void SavedChoices::SaveOption(int option) {
  const bool selected = modes_.OptionSelected(option);
  WriteSaved(OptionStem(option), selected ? L"True" : L"False");
  savedOptions_[option] = selected;
}

}  // namespace svctune
