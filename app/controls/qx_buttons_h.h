#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controls/qx_button_look.h"
#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune {

enum class PictureKind { kBitmap, kIcon };

// A picture the button shows (bitmap, JPEG, icon or cursor), as the platform loaded it. The
// view's pictures carry the platform object; source names the file it came from, which is
// what the property bag keeps.
class ButtonPicture {
 public:
  virtual ~ButtonPicture() = default;
  virtual PictureKind kind() const = 0;
  virtual int width() const = 0;  // pixels
  virtual int height() const = 0;
  virtual const std::wstring& source() const = 0;
};
using PicturePtr = std::shared_ptr<const ButtonPicture>;

// The window properties of the container that hold an option group: integers under text keys.
class OptionGroupStore {
 public:
  virtual ~OptionGroupStore() = default;
  // 0 when the key is absent.
  virtual std::intptr_t Get(const std::wstring& key) const = 0;
  virtual bool Set(const std::wstring& key, std::intptr_t value) = 0;
  virtual void Remove(const std::wstring& key) = 0;
};

// The data of an OLE drag and drop: the platform's data object, seen through the clipboard
// formats it holds (1 text, 13 Unicode text). A format may be declared without its data, which
// is then asked for (OLESetData) only when a drop target wants it.
class OleDataObject {
 public:
  virtual ~OleDataObject() = default;
  // Whether data of the format is there or declared.
  virtual bool GetFormat(std::int16_t format) const = 0;
  // The data of a text format; none when it is absent or not yet set.
  virtual std::optional<std::wstring> GetData(std::int16_t format) const = 0;
  // Sets the data of a text format, or with no data declares it. False where the object is
  // read-only (the data of a drop) or the format is not a text format.
  virtual bool SetData(std::int16_t format, std::optional<std::wstring> data) = 0;
  // Removes every format; false where the object is read-only.
  virtual bool Clear() = 0;
};

// Clipboard formats and drop effects, with the platform's values.
enum : std::int16_t { kFormatText = 1, kFormatUnicodeText = 13 };
enum : std::int32_t {
  kDropEffectNone = 0,
  kDropEffectCopy = 1,
  kDropEffectMove = 2,
  kDropEffectLink = 4,
  kDropEffectScroll = -2147483647 - 1,  // 0x80000000
};
// The State of OLEDragOver.
enum : std::int16_t { kDragEnter = 0, kDragLeave = 1, kDragOver = 2 };

class qxButtons_H;

// What the button asks of its window, its container and the platform.
class qxButtons_HSite {
 public:
  virtual ~qxButtons_HSite() = default;
  // Ambient properties of the container.
  virtual bool UserMode() const = 0;
  virtual bool DisplayAsDefault() const = 0;
  virtual OleColour AmbientBackColor() const = 0;
  virtual std::optional<FontSpec> AmbientFont() const = 0;  // none in an MDI form
  virtual std::wstring DisplayName() const = 0;
  virtual OleColour SystemColour(int index) const = 0;
  // An information message box with the given title (empty: the program's title).
  virtual void ShowMessage(std::wstring_view text, std::wstring_view title) = 0;
  // Whether the window under the cursor is the button's own window.
  virtual bool PointerOverButton() const = 0;
  virtual bool LeftButtonDown() const = 0;
  // The hover timer on the button's window (identifier 237, 50 ms).
  virtual bool StartHoverTimer() = 0;
  virtual void StopHoverTimer(std::uintptr_t timerId) = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // Posts a key-down message to the container window.
  virtual void PostKeyToContainer(int keyCode, std::uint32_t keyData) = 0;
  // Draws the button now (layout and paint).
  virtual void Redraw() = 0;
  // Rebuilds the window region for the current shape.
  virtual void RebuildRegion() = 0;
  // Sizes the control for its shape (diagonal widening, custom shapes sized to the picture),
  // rebuilds the region and draws unless drawing is delayed.
  virtual void Resize() = 0;
  // The container's option-group store; null without a container.
  virtual OptionGroupStore* OptionGroup() = 0;
  // Loads a picture from its source; null when it cannot be loaded.
  virtual PicturePtr LoadPicture(const std::wstring& source) = 0;
  // Gives the window its pointer; an error description when the platform refuses the icon.
  virtual std::optional<std::wstring> ApplyMouseIcon(const PicturePtr& icon) = 0;
  virtual void ApplyMousePointer(std::int32_t pointer) = 0;
};

// The button's events. Every argument is passed by reference: a handler may change it.
struct qxButtons_HEvents {
  std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseDown;
  std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseUp;
  std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseMove;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown;
  std::function<void(std::int16_t& keyAscii)> KeyPress;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyUp;
  std::function<void(bool& onButton)> MouseOnButton;
  std::function<void()> Click;
  std::function<void(std::int16_t& button)> DoubleClick;
  std::function<void(std::int32_t& effect)> OLECompleteDrag;
  std::function<void(OleDataObject& data, std::int32_t& effect, std::int16_t& button,
                     std::int16_t& shift, float& x, float& y)>
      OLEDragDrop;
  std::function<void(OleDataObject& data, std::int32_t& effect, std::int16_t& button,
                     std::int16_t& shift, float& x, float& y, std::int16_t& state)>
      OLEDragOver;
  std::function<void(std::int32_t& effect, bool& defaultCursors)> OLEGiveFeedback;
  std::function<void(OleDataObject& data, std::int16_t& dataFormat)> OLESetData;
  std::function<void(OleDataObject& data, std::int32_t& allowedEffects)> OLEStartDrag;
};

// ButtonStateFlags.
enum : int { kDefaultMarking = 1, kPressed = 2, kHover = 4 };

// The owner-drawn push button: a command button, a check box or an option button, with nine
// outlines and eight looks. Option buttons of one container form a group kept in the
// container window's properties; a hover is noticed by a 50 ms timer on the button's window
// that runs only while the pointer is over it.
class qxButtons_H {
 public:
  static constexpr std::uintptr_t kHoverTimerId = 237;
  static constexpr unsigned kHoverInterval = 50;  // milliseconds
  static constexpr std::int32_t kCustomPointer = 99;

  explicit qxButtons_H(qxButtons_HSite& site);
  ~qxButtons_H();
  qxButtons_H(const qxButtons_H&) = delete;
  qxButtons_H& operator=(const qxButtons_H&) = delete;

  // Properties. Setters ignore values out of their range; refusals leave the old value and
  // say why only in design mode.
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  std::int32_t CaptionAlign() const { return captionAlign_; }
  void SetCaptionAlign(std::int32_t align);
  std::int32_t CaptionStyle() const { return captionStyle_; }
  void SetCaptionStyle(std::int32_t style);
  std::int32_t ButtonStyle() const { return buttonStyle_; }
  void SetButtonStyle(std::int32_t style);
  std::int32_t ButtonShape() const { return buttonShape_; }
  void SetButtonShape(std::int32_t shape);
  std::int32_t Mode() const { return mode_; }
  void SetMode(std::int32_t mode);
  bool Value() const { return value_; }
  void SetValue(bool value);
  std::int32_t CustomClick() const { return customClick_; }
  void SetCustomClick(std::int32_t customClick);
  const PicturePtr& Picture() const { return picture_; }
  void SetPicture(PicturePtr picture);
  std::int32_t PictureAlign() const { return pictureAlign_; }
  void SetPictureAlign(std::int32_t align);
  std::int32_t PictureSize() const;
  void SetPictureSize(std::int32_t size);
  // The picture's side in pixels: 16, 24, 32, 40 (fill) or 48 (fit).
  int PicturePixels() const { return picturePixels_ == 0 ? 16 : picturePixels_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool ShowFocusRect() const { return showFocusRect_; }
  void SetShowFocusRect(bool show);
  std::int32_t MousePointer() const { return mousePointer_; }
  void SetMousePointer(std::int32_t pointer);
  const PicturePtr& MouseIcon() const { return mouseIcon_; }
  void SetMouseIcon(PicturePtr icon);
  const FontSpec& Font() const { return font_; }
  void SetFont(FontSpec font);
  std::int32_t FontStyle() const;
  void SetFontStyle(std::int32_t style);
  OleColour ForeColor() const { return foreColor_; }
  void SetForeColor(OleColour colour);
  OleColour BackColor() const { return backColor_; }
  void SetBackColor(OleColour colour);
  OleColour GradientColor() const { return gradientColor_; }
  void SetGradientColor(OleColour colour);
  std::int32_t GradientMode() const { return gradientMode_; }
  void SetGradientMode(std::int32_t mode);
  std::int32_t HoverColorLocks() const { return hoverColorLocks_; }
  void SetHoverColorLocks(std::int32_t locks);
  OleColour HoverForeColor() const { return hoverForeColor_; }
  void SetHoverForeColor(OleColour colour);
  OleColour HoverBackColor() const { return hoverBackColor_; }
  void SetHoverBackColor(OleColour colour);
  bool ResetDefaultColors() const { return false; }
  void SetResetDefaultColors(bool reset);

  // The character after the caption's access-key ampersand; 0 for none.
  wchar_t AccessKey() const { return accessKey_; }

  void Refresh();
  void DelayDrawing(bool delay);
  bool DrawingDelayed() const { return delayDrawing_; }

  // The container's property bag.
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // Input from the window. Positions are client pixels.
  void MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
  void MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
  void MouseUp(std::int16_t button, std::int16_t shift, float x, float y);
  // The platform's click after a left release over the button (none after a double click).
  void PlatformClick();
  void Click();
  void DoubleClick(float x, float y);
  void KeyDown(std::int16_t keyCode, std::int16_t shift);
  void KeyUp(std::int16_t keyCode, std::int16_t shift);
  void KeyPress(std::int16_t keyAscii);
  // The access key, or Enter or Escape for a default or cancel button.
  void AccessKeyPressed(int key);
  void FocusGained();
  // OLE drag and drop passed through from the window; each returns what the handlers left.
  // A drag from the button begins with OLEStartDrag and ends with OLECompleteDrag, which also
  // ends the click that the press began: the release went to the drag.
  std::int32_t OLEStartDrag(OleDataObject& data, std::int32_t allowedEffects);
  void OLESetData(OleDataObject& data, std::int16_t dataFormat);
  // Whether the drag shows the default cursors.
  bool OLEGiveFeedback(std::int32_t effect);
  void OLECompleteDrag(std::int32_t effect);
  // Positions are client pixels; effect is what the source allows. The answer is the one
  // effect the handlers left (copy before move before link, scroll kept) within what the
  // source allows, and none without a handler: a source is never told that a drop nobody
  // took was a move.
  std::int32_t OLEDragOver(OleDataObject& data, std::int32_t effect, std::int16_t button,
                           std::int16_t shift, float x, float y, std::int16_t state);
  std::int32_t OLEDragDrop(OleDataObject& data, std::int32_t effect, std::int16_t button,
                           std::int16_t shift, float x, float y);
  void Paint();
  // Ambient properties "DisplayAsDefault" and "BackColor" changed.
  void AmbientChanged(std::wstring_view name);
  // The control is shown.
  void Shown();
  // Hover timer tick (called by the timer callback with the stored timer identifier).
  void HoverTimerTick(std::uintptr_t timerId);
  // The control goes away: the hover timer stops and an option button leaves its group.
  void Terminate();

  // What the drawing reads.
  int StateFlags() const { return stateFlags_; }
  bool HoverTracking() const { return hoverTracking_; }
  bool HeldDown() const { return heldDown_; }
  bool ShownPressed() const { return (stateFlags_ & (kPressed | kHover)) == (kPressed | kHover); }
  const DerivedColours& Colours() const { return colours_; }
  OleColour ParentBackRgb() const { return parentBackRgb_; }
  OleColour Rgb(OleColour colour) const;
  EdgeState CurrentEdgeState() const;
  // The caption and picture move by this much while the button is shown pressed or set.
  PixelPoint PressedOffset() const;
  LayoutInput LayoutFor(int width, int height) const;
  // A custom-click movement due now: the offset to move the window by, and whether the
  // redraw pass ends with it.
  struct ClickMove {
    PixelPoint offset;
    bool endsPass = false;
  };
  std::optional<ClickMove> TakeClickMove();

  // Every persisted property change, by its bag key.
  void OnPropertyChanged(std::function<void(std::wstring_view key)> listener) {
    propertyChanged_ = std::move(listener);
  }
  qxButtons_HEvents& Events() { return events_; }

  enum class OptionAction { kLeave = -1, kClearOthers = 0, kJoin = 1, kQuery = 2 };
  bool OptionToggle(OptionAction action);

 private:
  void Redraw();
  void Report(std::wstring_view key) const;
  void DesignMessage(std::wstring_view text, std::wstring_view title = {});
  void DeriveColours();
  void TieHoverBack();
  void StartHover();
  void PressDown(std::int16_t button);
  void RaiseMouse(const decltype(qxButtons_HEvents::MouseDown)& event, std::int16_t button,
                  std::int16_t shift, float x, float y);
  void RaiseClick();

  qxButtons_HSite& site_;
  std::wstring caption_;
  std::int32_t captionAlign_ = 2;
  std::int32_t captionStyle_ = 0;
  std::int32_t buttonStyle_ = 0;
  std::int32_t buttonShape_ = 0;
  std::int32_t mode_ = 0;
  bool value_ = false;
  std::int32_t customClick_ = 0;
  PicturePtr picture_;
  std::int32_t pictureAlign_ = 0;
  int picturePixels_ = 16;
  bool enabled_ = true;
  bool showFocusRect_ = true;
  std::int32_t mousePointer_ = 0;
  PicturePtr mouseIcon_;
  FontSpec font_;
  OleColour foreColor_ = kButtonText;
  OleColour backColor_ = kButtonFace;
  OleColour gradientColor_ = kButtonFace;
  std::int32_t gradientMode_ = 0;
  std::int32_t hoverColorLocks_ = 0;
  OleColour hoverForeColor_ = kButtonText;
  OleColour hoverBackColor_ = kButtonFace;
  wchar_t accessKey_ = 0;

  int stateFlags_ = 0;
  bool hoverTracking_ = false;
  bool heldDown_ = false;
  std::int16_t lastMouseButton_ = 0;
  bool delayDrawing_ = false;
  bool clickArmed_ = false;
  bool inGroup_ = false;
  bool clickMoved_ = false;
  DerivedColours colours_;
  OleColour parentBackRgb_ = 0;

  qxButtons_HEvents events_;
  std::function<void(std::wstring_view)> propertyChanged_;
  // Expires with the button, so that an event handler may destroy it.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace svctune
