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

constexpr std::int16_t kStartupCounterLimit = 32767;
constexpr std::int16_t kPasswordGateTick = 3;
constexpr std::size_t kWorkingSetMinimum = 50000;
constexpr std::size_t kWorkingSetMaximum = 100000;
constexpr int kAccessGateLink = 4;
constexpr int kBlogLink = 5;

std::wstring VersionText() {
  return std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor) + L"." +
         std::to_wstring(kVersionRevision);
}

}  // namespace

bool StartupPasswordSwitchedOn(registry::RegistryAccess& registry) {
  const registry::Variant enabled =
      registry.GetDwordByPath(std::wstring(kProgramKeyPath), L"EnablePassword");
  const auto* number = std::get_if<std::int32_t>(&enabled);
  return number != nullptr && *number == 1;
}

Formhome::Formhome(registry::RegistryAccess& registry, PresetFileStore& presetFile,
                   const AnsiCodec& codePage936, MessagePresenter& messages, FormhomeHost& host)
    : registry_(registry),
      messages_(messages),
      host_(host),
      triads_(registry),
      modes_(triads_),
      savedChoices_(registry, presetFile, codePage936, triads_, modes_) {}

void Formhome::Load() {
  if (loaded_) {
    return;
  }
  loaded_ = true;
  WriteProgramInformation();
  for (std::wstring_view key : kPolicyKeys) {
    registry_.CreateKeyByPath(std::wstring(key));
  }
  savedChoices_.LoadPresetList();
  host_.StartStartupTimer();
  startupCounter_ = 0;
  savedChoices_.RestoreControlStates();
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

void Formhome::OnTimer2() {
  if (startupCounter_ < kStartupCounterLimit) {
    ++startupCounter_;
  }
  if (startupCounter_ != kPasswordGateTick) {
    return;
  }
  if (StartupPasswordSwitchedOn(registry_)) {
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
  savedChoices_.SaveAll();
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
