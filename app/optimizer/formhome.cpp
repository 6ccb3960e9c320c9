#include "optimizer/formhome.h"

#include <string>

#include "program_info.h"

namespace svctune {
namespace {

constexpr std::wstring_view kPolicyKeys[] = {
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\ActiveDesktop",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network",
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\WinOldApp",
    L"HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions",
    L"HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Toolbars\\Restrictions",
};

constexpr std::wstring_view kSettingsBase = L"SOFTWARE";
constexpr std::int16_t kStartupCounterLimit = 32767;
constexpr std::int16_t kPasswordGateTick = 3;
constexpr std::size_t kWorkingSetMinimum = 50000;
constexpr std::size_t kWorkingSetMaximum = 100000;
constexpr int kAccessGateLink = 4;
constexpr int kBlogLink = 5;

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

std::wstring VersionText() {
  return std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor) + L"." +
         std::to_wstring(kVersionRevision);
}

std::wstring Folded(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') {
      c = static_cast<wchar_t>(c - L'A' + L'a');
    }
  }
  return text;
}

}  // namespace

Formhome::Formhome(registry::RegistryAccess& registry, PresetFileStore& presetFile,
                   const AnsiCodec& codePage936, MessagePresenter& messages, FormhomeHost& host)
    : registry_(registry),
      presetFile_(presetFile),
      codePage936_(codePage936),
      messages_(messages),
      host_(host),
      triads_(registry),
      modes_(triads_) {}

void Formhome::Load() {
  if (loaded_) {
    return;
  }
  loaded_ = true;
  WriteProgramInformation();
  for (std::wstring_view key : kPolicyKeys) {
    registry_.CreateKeyByPath(std::wstring(key));
  }
  LoadPresetList();
  host_.StartStartupTimer();
  startupCounter_ = 0;
  RestoreControlStates();
}

void Formhome::WriteProgramInformation() {
  const std::wstring store(kProgramKeyPath);
  registry_.CreateKeyByPath(store);
  registry_.SetDwordByPath(store, L"FirstRun", 0);
  registry_.SetStringByPath(store, L"Author", kAuthor);
  registry_.SetStringByPath(store, L"Email", kEmail);
  registry_.SetStringByPath(store, L"Company", kCompany);
  registry_.SetStringByPath(store, L"Url", kDownloadUrl);
  registry_.SetStringByPath(store, L"Product", kProgramTitle);
  registry_.SetStringByPath(store, L"Version", VersionText());
}

void Formhome::LoadPresetList() {
  modes_.ClearList();
  const std::optional<std::string> bytes = presetFile_.Read();
  if (!bytes) {
    return;
  }
  PresetFileContent content = ParsePresetFile(*bytes, codePage936_);
  presetFileKeptWhole_ = content.whole;
  modes_.AddItems(std::move(content.items));
  if (content.selectedIndex) {
    modes_.SetListIndex(*content.selectedIndex);
  }
}

registry::Variant Formhome::ReadSavedState(const std::wstring& stem) {
  const SettingsNames names = NamesOf(stem);
  const registry::Variant saved = registry_.ReadSetting(
      names.key, names.subKey, names.value, L"", registry::kLocalMachine, kSettingsBase, false);
  if (saved == registry::Variant(std::wstring())) {
    return {};
  }
  return saved;
}

// Restores the boxes in increasing order, then Option1 and Option2. Only the texts the
// shutdown writes are taken; anything else leaves the control as it is.
void Formhome::RestoreControlStates() {
  for (int box : ServiceCatalogue::BoxNumbers()) {
    const registry::Variant saved = ReadSavedState(ServiceCatalogue::BoxStem(box));
    const auto* text = std::get_if<std::wstring>(&saved);
    if (text != nullptr && text->size() == 1 && (*text)[0] >= L'0' && (*text)[0] <= L'2') {
      triads_.SetState(box, (*text)[0] - L'0');
    }
  }
  for (int option : {1, 2}) {
    const std::wstring name = L"Option" + std::to_wstring(option);
    const registry::Variant saved = ReadSavedState(ServiceCatalogue::SettingsStem(name));
    const auto* text = std::get_if<std::wstring>(&saved);
    if (text == nullptr) {
      continue;
    }
    const std::wstring folded = Folded(*text);
    if (folded == L"true" || folded == L"false") {
      modes_.SetOption(option, folded == L"true");
    }
  }
}

void Formhome::OnTimer2() {
  if (startupCounter_ < kStartupCounterLimit) {
    ++startupCounter_;
  }
  if (startupCounter_ != kPasswordGateTick) {
    return;
  }
  const registry::Variant enabled =
      registry_.GetDwordByPath(std::wstring(kProgramKeyPath), L"EnablePassword");
  const auto* number = std::get_if<std::int32_t>(&enabled);
  if (number != nullptr && *number == 1) {
    if (!host_.RunLoginPrompt()) {
      host_.CloseWindow();
      return;
    }
  }
  acceptsInput_ = true;
  Notify();
  host_.BringToFront();
}

void Formhome::OnTimer1() {
  host_.TrimWorkingSet(kWorkingSetMinimum, kWorkingSetMaximum);
}

void Formhome::Unload() {
  if (!loaded_ || unloaded_) {
    return;
  }
  unloaded_ = true;
  SavePresetList();
  SaveControlStates();
}

// A file that was not read whole is kept as TQSE.ini.bak before it is replaced; when even that
// fails, the file stays as it is.
void Formhome::SavePresetList() {
  if (!presetFileKeptWhole_ && !presetFile_.KeepBackup()) {
    return;
  }
  presetFile_.Write(FormatPresetFile(modes_.Items(), modes_.ListIndex(), codePage936_));
}

void Formhome::SaveControlStates() {
  auto save = [this](const std::wstring& stem, const std::wstring& text) {
    const SettingsNames names = NamesOf(stem);
    registry_.WriteSetting(names.key, names.subKey, names.value, text, registry::kLocalMachine,
                           kSettingsBase, registry::kRegSz);
  };
  for (int box : ServiceCatalogue::BoxNumbers()) {
    save(ServiceCatalogue::BoxStem(box), std::to_wstring(triads_.State(box)));
  }
  for (int option : {1, 2}) {
    save(ServiceCatalogue::SettingsStem(L"Option" + std::to_wstring(option)),
         modes_.OptionSelected(option) ? L"True" : L"False");
  }
}

void Formhome::OnCaptionMouseMove(int number) {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr) {
    return;
  }
  descriptions_[entry->page - 1] = std::wstring(entry->hoverText);
  Notify();
}

const std::wstring& Formhome::Description(int page) const {
  return descriptions_[page == 2 ? 1 : 0];
}

void Formhome::OnLabel33Click() {
  visiblePage_ = 2;
  Notify();
}

void Formhome::OnLabel58Click() {
  visiblePage_ = 1;
  Notify();
}

void Formhome::OnLabel162Click() {
  host_.Minimize();
}

void Formhome::OnLblTaskCloseClick() {
  messages_.Show(kApplyReminder, kNoticeTitle, MessageIcon::kNone);
}

void Formhome::OnLblCapClick(int index) {
  if (index == kAccessGateLink) {
    host_.OpenAccessGate();
  } else if (index == kBlogLink) {
    host_.OpenWebPage(kBlogUrl);
  }
}

void Formhome::OnCmdEndValueChanged(bool&) {
  host_.CloseWindow();
}

void Formhome::Notify() const {
  if (listener_) {
    listener_();
  }
}

}  // namespace svctune
