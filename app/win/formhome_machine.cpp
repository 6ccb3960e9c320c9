// The parts of the main window that show what the machine really holds: the status line in
// the bottom strip, the captions' colours, and the task links that restore the start types
// found at the first start and export the current ones.
#include <windows.h>

#include <commdlg.h>

#include <optional>

#include "controls/win/progress_bar_view.h"
#include "deployment/security_template.h"
#include "deployment/start_type_export.h"
#include "optimizer/backup_file.h"
#include "program_info.h"
#include "win/file_preset_store.h"
#include "win/formhome_window.h"
#include "win/services_window.h"

namespace svctune::win {
namespace {

constexpr COLORREF kMissingServiceText = RGB(150, 150, 150);
// Disagreeing captions, and the status line while it warns.
constexpr COLORREF kWarningText = RGB(214, 64, 0);

// The status line fills the bottom strip left of the minimise link, in twips.
constexpr int kStatusLeft = 2940;
constexpr int kStatusTop = 8535;
constexpr int kStatusWidth = 7500;
constexpr int kStatusHeight = 240;
// The two links below the others in the task box.
constexpr int kMachineLinkLeft = 630;
constexpr int kRestoreLinkTop = 3255;
constexpr int kExportLinkTop = 3705;
constexpr int kServicesLinkTop = 4155;

// The system's procedure of the check boxes, behind ServiceHoverProc: each box is a fresh
// system button when the procedure is put in front of it, so one value serves them all.
WNDPROC systemButtonProc = nullptr;

class YesNoBox final : public Confirmation {
 public:
  explicit YesNoBox(HWND owner) : owner_(owner) {}
  bool AskYesNo(std::wstring_view text, std::wstring_view title) override {
    const std::wstring body(text);
    const std::wstring caption(title);
    return MessageBoxW(owner_, body.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
  }

 private:
  HWND owner_;
};

}  // namespace

bool FormhomeWindow::CreateMachineChrome() {
  statusLine_ = AddLabel(hwnd_, kStatusLine, L"", kStatusLeft, kStatusTop, kStatusWidth,
                         kStatusHeight, font_, SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS);
  const std::wstring restore(kRestoreLinkCaption);
  const std::wstring backup(kExportLinkCaption);
  HWND restoreLink = AddLabel(taskPane_, kRestoreLink, restore.c_str(), kMachineLinkLeft,
                              kRestoreLinkTop, 1800, 225, font_);
  HWND exportLink = AddLabel(taskPane_, kExportLink, backup.c_str(), kMachineLinkLeft,
                             kExportLinkTop, 1800, 225, font_);
  HWND servicesLink = AddLabel(taskPane_, kServicesLink, L"全部服务", kMachineLinkLeft,
                               kServicesLinkTop, 1800, 225, font_);
  return statusLine_ != nullptr && restoreLink != nullptr && exportLink != nullptr &&
         servicesLink != nullptr;
}

// Classic subclassing, as for the labels: SetWindowSubclass would look its chain up in a
// window property on every message a box receives.
void FormhomeWindow::WatchServiceHover(HWND box) {
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ServiceHoverProc)));
  if (previous != nullptr) {
    systemButtonProc = previous;
  }
}

// Hovering one of a service's boxes shows the service on the status line; leaving it clears
// the line.
LRESULT CALLBACK FormhomeWindow::ServiceHoverProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  if (message == WM_MOUSEMOVE || message == WM_MOUSELEAVE) {
    auto* self = reinterpret_cast<FormhomeWindow*>(
        GetWindowLongPtrW(GetAncestor(window, GA_ROOT), GWLP_USERDATA));
    const std::optional<BoxInfo> box = ServiceCatalogue::FindBox(GetDlgCtrlID(window) - kCheckBase);
    if (self != nullptr && box) {
      if (message == WM_MOUSEMOVE) {
        self->OnServiceHover(box->entry->number, window);
      } else {
        self->OnServiceLeave(box->entry->number);
      }
    }
  }
  return systemButtonProc != nullptr
             ? CallWindowProcW(systemButtonProc, window, message, wParam, lParam)
             : DefWindowProcW(window, message, wParam, lParam);
}

void FormhomeWindow::OnServiceHover(int number, HWND control) {
  TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, control, 0};
  TrackMouseEvent(&track);
  if (machine_.PointAt(number)) {
    ShowStatus();
    ShowCaptionLook(number);
  }
}

void FormhomeWindow::OnServiceLeave(int number) {
  machine_.PointerLeft(number);
  ShowStatus();
}

// The status line shows what the model says, in the warning colour while it warns.
void FormhomeWindow::ShowStatus() {
  const StatusLine& status = machine_.Status();
  if (status.text == shownStatus_.text && status.warning == shownStatus_.warning) {
    return;
  }
  SetWindowTextW(statusLine_, status.text.c_str());
  if (status.warning != shownStatus_.warning) {
    InvalidateRect(statusLine_, nullptr, TRUE);
  }
  shownStatus_ = status;
}

void FormhomeWindow::ReadMachine() {
  machine_.RefreshAll();
  machineRead_ = true;
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    ShowCaptionLook(entry.number);
  }
}

// A box's handler writes after it has told the view about the change, so the machine is read
// once the handlers of this message have run to the end.
void FormhomeWindow::OnMachineBoxChanged(int box) {
  if (!machineRead_) {
    return;
  }
  machine_.MarkChanged(box);
  if (!machineRefreshPosted_ && PostMessageW(hwnd_, kMachineRefreshMessage, 0, 0)) {
    machineRefreshPosted_ = true;
  }
}

void FormhomeWindow::ShowMachineChanges() {
  machineRefreshPosted_ = false;
  for (int number : machine_.RefreshChanged()) {
    ShowCaptionLook(number);
  }
  ShowStatus();
}

void FormhomeWindow::ShowCaptionLook(int number) {
  const ServiceEntry* entry = ServiceCatalogue::FindEntry(number);
  if (entry == nullptr) {
    return;
  }
  HWND caption =
      GetDlgItem(pages_[static_cast<std::size_t>(entry->page - 1)]->hwnd(), kCaptionBase + number);
  // A caption not on the screen is drawn in full, in its look, when it is next shown.
  if (caption != nullptr && IsWindowVisible(caption)) {
    InvalidateRect(caption, nullptr, TRUE);
  }
}

COLORREF FormhomeWindow::MachineTextColour(int id, COLORREF normal) const {
  if (id == kStatusLine && machine_.Status().warning) {
    return kWarningText;
  }
  if (!machineRead_ || id <= kCaptionBase || id > kCaptionBase + 57) {
    return normal;
  }
  switch (machine_.Look(id - kCaptionBase)) {
    case CaptionLook::kMissing:
      return kMissingServiceText;
    case CaptionLook::kDisagrees:
      return kWarningText;
    case CaptionLook::kNormal:
      break;
  }
  return normal;
}

bool FormhomeWindow::OnMachineLinkClick(int id) {
  if (id == kRestoreLink) {
    YesNoBox confirmation(hwnd_);
    machine_.OnRestoreClick(form_.Modes(), form_.Choices(), confirmation, messages_);
    for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
      ShowCaptionLook(entry.number);
    }
    ShowStatus();
    return true;
  }
  if (id == kExportLink) {
    ExportBackup();
    return true;
  }
  if (id == kServicesLink) {
    OpenServicesWindow();
    return true;
  }
  return false;
}

// The save dialog's hook: choosing a file type makes its extension the one a name without
// an extension gets.
UINT_PTR CALLBACK FormhomeWindow::ExportDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notify->hdr.code == CDN_TYPECHANGE || notify->hdr.code == CDN_INITDONE) {
      const wchar_t* extension = notify->lpOFN->nFilterIndex % 2 == 0 ? L"inf" : L"reg";
      SendMessageW(GetParent(hook), CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(extension));
    }
  }
  return 0;
}

void FormhomeWindow::ExportBackup() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring defaultName(kBackupDefaultName);
  defaultName.copy(path, MAX_PATH - 1);
  std::wstring filter;
  bool registryFile = true;
  for (const std::wstring_view type : kExportFileTypes) {
    filter += type;
    filter.push_back(L'\0');
    filter += registryFile ? L"*.reg" : L"*.inf";
    filter.push_back(L'\0');
    registryFile = !registryFile;
  }
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"reg";
  dialog.lpfnHook = &ExportDialogHook;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                 OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  const std::wstring title(kProgramTitle);
  if (!GetSaveFileNameW(&dialog)) {
    // Cancelled, or the dialog could not be shown.
    if (CommDlgExtendedError() != 0) {
      messages_.Show(L"无法打开保存文件的对话框，未导出备份。", title, MessageIcon::kCritical);
    }
    return;
  }
  const std::wstring file(path);
  const ExportFormat format =
      ExportFormatOf(file, dialog.nFilterIndex % 2 == 0 ? ExportFormat::kSecurityTemplate
                                                        : ExportFormat::kRegistryFile);
  std::optional<ServiceInventory> everyService;
  if (dialog.nFilterIndex > 2) {
    everyService = ServiceInventory::Read(machine_.Registry().Api(), machine_.Registry().Codec());
  }
  const StartTypeExport exported =
      ExportStartTypes(machine_, format, codePage936_, everyService ? &*everyService : nullptr);
  std::wstring error;
  if (!FilePresetStore(file).Write(exported.bytes, error)) {
    messages_.Show(L"无法写入文件：" + file + L"\n\n" + error, title, MessageIcon::kCritical);
    return;
  }
  messages_.Show(ExportMessage(exported, format, file), title, MessageIcon::kInformation);
}

// "全部服务": one window of every service beside the main window, which stays usable.
void FormhomeWindow::OpenServicesWindow() {
  if (!servicesWindow_) {
    servicesWindow_ =
        std::make_unique<ServicesWindow>(instance_, registry_, indirectTexts_, serviceManager_);
  }
  servicesWindow_->Open();
}

}  // namespace svctune::win
