#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/qx_buttons_h.h"
#include "com/com_ptr.h"
#include "controls/win/qx_button_painter.h"
#include "controls/win/qx_ole_drag.h"
#include "controls/win/qx_picture.h"
#include "ui/property_bag.h"
#include "win/scoped_gdi.h"

namespace svctune::win {

// The window of an owner-drawn button (class "qxButtons_H"): a child window that turns mouse,
// keyboard and focus messages into calls on the model and shows what the model says. It owns
// the off-screen surface (one per button, reused between paints and recreated on resize),
// the window region of the button's shape and the hover timer. Where OLE is initialised on
// the thread its window is an OLE drop target while it lives.
class qxButtons_HView final : private qxButtons_HSite {
 public:
  static constexpr const wchar_t* kClassName = L"qxButtons_H";

  // Registers the window class for the module once; later calls only check it is there.
  static bool RegisterWindowClass(HINSTANCE instance);

  // Creates the button as a visible child of parent at rect (pixels, in the parent's client
  // coordinates), with the properties stored in bag, or as a new control named name when bag
  // is null. Null when the window cannot be created.
  static std::unique_ptr<qxButtons_HView> Create(HINSTANCE instance, HWND parent, int id,
                                                 const RECT& rect, const PropertyBag* bag,
                                                 const std::wstring& name);

  ~qxButtons_HView() override;
  qxButtons_HView(const qxButtons_HView&) = delete;
  qxButtons_HView& operator=(const qxButtons_HView&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The off-screen surface the button is drawn into.
  HDC hdc() const;
  qxButtons_H& Model() { return model_; }

  // Loads a picture file (bitmap, JPEG, icon, cursor) into Picture; a file that cannot be
  // loaded leaves the old picture. Whether it was loaded.
  bool LoadPictureFile(const std::wstring& path);
  bool LoadMouseIconFile(const std::wstring& path);

  // The container's default (Enter) and cancel (Escape) button.
  void SetDefault(bool isDefault);
  void SetCancel(bool isCancel) { cancel_ = isCancel; }
  // Starts an OLE drag from the button: the OLEStartDrag handler fills the data object and
  // says which effects the drag allows (copy and move unless it changes them); nothing starts
  // when it leaves no format or no effect. Runs until the drop or the cancel and then raises
  // OLECompleteDrag with the effect of the drop (none when cancelled or failed). A press that
  // began the drag is released, as the mouse went up during it.
  void OLEDrag();

  // Design mode shows the model's advice in message boxes; run mode (the default) is silent.
  void SetUserMode(bool userMode) { userMode_ = userMode; }

  // For the window procedure of a window that holds owner-drawn buttons (their container), so
  // that they work where the host runs a dialog message loop (IsDialogMessage):
  // - WM_GETDLGCODE: the container asks for the arrow keys its buttons pass on to it, which
  //   the dialog manager would otherwise take for its own navigation and lose;
  // - WM_KEYDOWN of an arrow key: the focus moves forwards (right, down) or backwards (left,
  //   up): from an option button to the next option button of the container, round the
  //   group; from any other control to the next tab stop;
  // - WM_COMMAND IDOK or IDCANCEL from the dialog manager (Enter or Escape while the focus is
  //   on a control that takes neither): the default or the cancel button is pressed.
  // Whether the message was answered; result then holds the answer.
  static bool HandleContainerMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result);

 private:
  class Surface;

  explicit qxButtons_HView(const std::wstring& name);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Mouse(UINT message, WPARAM wParam, LPARAM lParam);
  // The button of this window, or null for any other window.
  static qxButtons_HView* FromWindow(HWND window);
  // The visible, enabled button of container that answers key: Enter its default button,
  // Escape its cancel button, an access key the button whose caption marks it.
  static qxButtons_HView* KeyButton(HWND container, wchar_t key, bool accessKey);
  // The button that answers Enter or Escape while this one has the focus: a command button
  // takes Enter itself, and the container's default and cancel buttons take the rest.
  qxButtons_HView* KeyTaker(wchar_t key);
  static void MoveFocusByArrow(HWND container, bool backwards);
  bool PressByKey(wchar_t key, bool fromAccessKey);
  // Presses the button for key, as the platform's access-key report does.
  void PressedByKey(wchar_t key, bool takeFocus);
  bool EnsureSurface();
  bool EnsureFont();
  void Present(HDC target);
  // The drag's data object and source reach the button no more.
  void EndDrag();

  // qxButtons_HSite
  bool UserMode() const override { return userMode_; }
  bool DisplayAsDefault() const override;
  OleColour AmbientBackColor() const override { return kButtonFace; }
  std::optional<FontSpec> AmbientFont() const override;
  std::wstring DisplayName() const override { return name_; }
  OleColour SystemColour(int index) const override;
  void ShowMessage(std::wstring_view text, std::wstring_view title) override;
  bool PointerOverButton() const override;
  bool LeftButtonDown() const override;
  bool StartHoverTimer() override;
  void StopHoverTimer(std::uintptr_t timerId) override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void PostKeyToContainer(int keyCode, std::uint32_t keyData) override;
  void Redraw() override;
  void RebuildRegion() override;
  void Resize() override;
  OptionGroupStore* OptionGroup() override;
  PicturePtr LoadPicture(const std::wstring& source) override;
  std::optional<std::wstring> ApplyMouseIcon(const PicturePtr& icon) override;
  void ApplyMousePointer(std::int32_t pointer) override;

  const OlePicture* CurrentPicture() const;

  HWND hwnd_ = nullptr;
  HWND container_ = nullptr;
  std::wstring name_;
  bool userMode_ = true;
  bool default_ = false;
  bool cancel_ = false;
  bool resizing_ = false;
  bool drawing_ = false;
  HDC paintDc_ = nullptr;  // the DC of the WM_PAINT being answered
  std::unique_ptr<Surface> surface_;
  QxRegions regions_;
  ScopedFont font_;
  FontSpec fontMadeFrom_;
  int dpi_;
  HCURSOR cursor_ = nullptr;
  std::unique_ptr<OptionGroupStore> group_;
  com::ComPtr<QxDropTarget> dropTarget_;  // registered with OLE
  // The drag from the button under way.
  com::ComPtr<QxDataObject> dragData_;
  com::ComPtr<QxDropSource> dragSource_;
  // Expires with the view, so that an event handler may destroy it.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  // Last: it calls back into the members above while it goes.
  qxButtons_H model_;
};

}  // namespace svctune::win
