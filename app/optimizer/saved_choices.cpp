#include "optimizer/saved_choices.h"

#include <optional>

namespace svctune {
namespace {

constexpr std::wstring_view kSettingsBase = L"SOFTWARE";
constexpr std::wstring_view kNotReadAtLoad =
    L"启动时未能读取此文件，其中选定的预设不明，为免丢失内容未写入";
constexpr std::wstring_view kOptionCaptions[] = {L"", L"“手动优化”", L"“选择优化”"};

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

// Replaces the preset file with bytes. One that was not read whole is kept as TQSE.ini.bak
// first, and left as it is when even that copy fails.
bool ReplacePresetFile(PresetFileStore& presetFile, bool readWhole, std::string_view bytes,
                       std::wstring& reason) {
  std::wstring error;
  if (!readWhole && !presetFile.KeepBackup(error)) {
    reason = L"无法先保留副本 TQSE.ini.bak（" + error + L"）";
    return false;
  }
  if (!presetFile.Write(bytes, error)) {
    reason = L"无法替换（" + error + L"）";
    return false;
  }
  return true;
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
  triads_.HoldWritesUnless([this](const ServiceEntry& entry) { return Stored(entry); });
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

std::wstring SavedChoices::WriteSaved(const std::wstring& stem, const std::wstring& text) {
  const SettingsNames names = NamesOf(stem);
  const registry::Status status =
      registry_.StoreSetting(names.key, names.subKey, names.value, text, registry::kLocalMachine,
                             kSettingsBase, registry::kRegSz);
  if (status == registry::kSuccess) {
    return {};
  }
  return L"无法写入 HKEY_LOCAL_MACHINE\\" +
         registry::RegistryAccess::BuildKeyPath(kSettingsBase, names.key, names.subKey) + L" 的 " +
         names.value + L"（错误 " + std::to_wstring(status) + L"）";
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
  SavePresetList(modes_.ListIndex());
  for (int box : ServiceCatalogue::BoxNumbers()) {
    SaveBox(box);
  }
  for (int option : {1, 2}) {
    SaveOption(option);
  }
}

void SavedChoices::OnBoxChanged(int box) {
  if (!following_) {
    return;
  }
  if (triads_.State(box) != savedBoxes_[box]) {
    SaveBox(box);
  } else {
    boxErrors_[box].clear();
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
    SavePresetList(modes_.ListIndex());
  }
}

bool SavedChoices::DropPresetSelection(std::wstring& reason) {
  if ((modes_.ListIndex() != -1 || savedListIndex_ != -1 || file_ == FileCondition::kUnreadable) &&
      !SavePresetList(-1)) {
    reason = listError_;
    return false;
  }
  modes_.SetListIndex(-1);
  return true;
}

// A file that could not be read is left as it is: what it selects is not known, and replacing
// it would lose the user's list.
bool SavedChoices::SavePresetList(int listIndex) {
  if (file_ == FileCondition::kUnreadable) {
    listError_ = std::wstring(kNotReadAtLoad);
    return false;
  }
  if (!ReplacePresetFile(presetFile_, file_ == FileCondition::kWhole,
                         FormatPresetFile(modes_.Items(), listIndex, codePage936_), listError_)) {
    return false;
  }
  file_ = FileCondition::kWhole;
  savedListIndex_ = listIndex;
  listError_.clear();
  return true;
}

void SavedChoices::SaveBox(int box) {
  const int state = triads_.State(box);
  boxErrors_[box] = WriteSaved(ServiceCatalogue::BoxStem(box), std::to_wstring(state));
  if (boxErrors_[box].empty()) {
    savedBoxes_[box] = state;
  }
}

void SavedChoices::SaveOption(int option) {
  const bool selected = modes_.OptionSelected(option);
  optionErrors_[option] = WriteSaved(OptionStem(option), selected ? L"True" : L"False");
  if (optionErrors_[option].empty()) {
    savedOptions_[option] = selected;
  }
}

bool SavedChoices::Stored(const ServiceEntry& entry) const {
  if (!following_) {
    return true;
  }
  for (int box : {entry.automaticBox, entry.manualBox, entry.disabledBox}) {
    if (triads_.State(box) != savedBoxes_[box]) {
      return false;
    }
  }
  return true;
}

std::wstring SavedChoices::UnsavedReason(const ServiceEntry& entry) const {
  for (int box : {entry.automaticBox, entry.manualBox, entry.disabledBox}) {
    if (following_ && triads_.State(box) != savedBoxes_[box]) {
      return boxErrors_[box];
    }
  }
  return {};
}

std::vector<std::pair<std::wstring, std::wstring>> SavedChoices::UnsavedOthers() const {
  std::vector<std::pair<std::wstring, std::wstring>> unsaved;
  if (!following_) {
    return unsaved;
  }
  if (modes_.ListIndex() != savedListIndex_) {
    unsaved.emplace_back(L"TQSE.ini", listError_);
  }
  for (int option : {1, 2}) {
    if (modes_.OptionSelected(option) != savedOptions_[option]) {
      unsaved.emplace_back(std::wstring(kOptionCaptions[option]), optionErrors_[option]);
    }
  }
  return unsaved;
}

bool SavePresetListWithoutSelection(PresetFileStore& presetFile, const AnsiCodec& codePage936,
                                    std::wstring& reason) {
  const PresetFileRead read = presetFile.Read();
  if (read.outcome == PresetFileRead::Outcome::kFailed) {
    reason = L"无法读取（" + read.error + L"）";
    return false;
  }
  if (read.outcome == PresetFileRead::Outcome::kMissing) {
    return true;
  }
  const PresetFileContent content = ParsePresetFile(read.bytes, codePage936);
  if (!content.selectedIndex) {
    return true;
  }
  return ReplacePresetFile(presetFile, content.whole,
                           FormatPresetFile(content.items, -1, codePage936), reason);
}

}  // namespace svctune
