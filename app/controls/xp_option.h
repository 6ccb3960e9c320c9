#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controls/check_box_artwork.h"
#include "ui/property_bag.h"

namespace svctune {

// The check box control exists in three variants with the same behaviour; they differ only in
// their design: the state images, where the caption label sits, the caption's design font and
// the height the control keeps.
enum class XPOptionVariant { kXPOption, kMyCmd, kMyOpt };

struct XPOptionDesign {
  std::wstring_view name;
  CheckArtwork artwork;
  // Label1's place in the control, in twips.
  int labelLeft;
  int labelTop;
  // Label1's font in a new control; none: the container's font.
  std::optional<FontSpec> captionFont;
  // The height the control keeps, in twips; none: the height of imgNone.
  std::optional<int> fixedHeight;
};

const XPOptionDesign& DesignOf(XPOptionVariant variant);

// A rectangle in the control's scale units (twips), relative to the control.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TwipsRect& other) const {
    return left == other.left && top == other.top && width == other.width && height == other.height;
  }
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const ScreenPoint& other) const { return !(*this == other); }
};

// The XP-style check box: a 13 x 13 state image (imgCheckBox) beside a caption (Label1), with
// hover and pressed looks. Mouse events of the image and of the caption count as the
// control's own. A hover ends when Timer1 (50 ms) finds the cursor away from where the last
// mouse move left it.
class XPOption {
 public:
  static constexpr std::wstring_view kDesignCaption = L"XP Option Button";
  static constexpr std::wstring_view kDefaultCaption = L"XP Check Box";
  static constexpr int kTimerInterval = 50;  // milliseconds
  static constexpr int kFocusMargin = 2;     // twips between Shape1 and Label1

  // A new control: Value False, the design caption, the variant's caption font or else the
  // container's (ambient) font.
  XPOption(XPOptionVariant variant, FontSpec ambientFont);
  XPOption(const XPOption&) = delete;
  XPOption& operator=(const XPOption&) = delete;

  XPOptionVariant variant() const { return variant_; }
  const XPOptionDesign& design() const { return DesignOf(variant_); }

  // Properties. Each setter reports its property-bag key to the container.
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Value() const { return value_; }
  // Shows the normal image of the new value; raises no ValueChanged.
  void SetValue(bool value);
  const FontSpec& Font() const { return font_; }
  void SetFont(FontSpec font);
  // Label1 is enabled exactly when the control is (a disabled control greys its caption).
  bool LabelEnabled() const { return labelEnabled_; }

  // The container's property bag: "Caption", "Enabled", "Value", "Font".
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // Mouse events of the control, its image or its caption. Screen positions of the cursor.
  void MouseDown();
  void MouseMove(ScreenPoint cursor);
  void MouseUp();
  // The mouse was taken away while held (the system cancelled the press): no click.
  void MouseCaptureLost();
  // Timer1's tick, with the cursor's screen position at that moment.
  void TimerTick(ScreenPoint cursor);

  void FocusGained();
  void FocusLost();

  // What the control shows.
  CheckImage ShownImage() const { return shown_; }
  bool TimerEnabled() const { return timerEnabled_; }
  bool MouseHeld() const { return mouseHeld_; }
  bool FocusFrameVisible() const { return focusFrameVisible_; }

  // Layout in twips. Label1 sizes itself to its caption: the view measures the caption in
  // the label's font and tells the model.
  TwipsRect ImageRect(int dpi) const;
  TwipsRect LabelRect() const;
  void SetLabelSize(int width, int height);
  // Shape1: 2 units above and left of Label1, 4 units wider and taller.
  TwipsRect FocusFrame() const;
  // The height the control takes on resize, in twips: the height of imgNone (XPOption,
  // MyCmd) or 195 (MyOpt).
  int HeightOnResize(int dpi) const;

  // ValueChanged(Value): raised after a click toggled Value; the handler may change the
  // value, and the image shown afterwards follows the value it leaves.
  void OnValueChanged(std::function<void(bool& value)> handler) {
    valueChanged_ = std::move(handler);
  }
  // The container hears the bag key of every property that changed.
  void OnPropertyChanged(std::function<void(std::wstring_view key)> listener) {
    propertyChanged_ = std::move(listener);
  }
  // The view hears every change of what the control shows.
  void OnDisplayChanged(std::function<void()> listener) { displayChanged_ = std::move(listener); }

 private:
  CheckImage NormalImage() const { return value_ ? CheckImage::kChecked : CheckImage::kNone; }
  void Show(CheckImage image);
  void Report(std::wstring_view key) const;
  void Redisplay() const;

  XPOptionVariant variant_;
  FontSpec ambientFont_;
  std::wstring caption_;
  FontSpec font_;
  bool enabled_ = true;
  bool labelEnabled_ = true;
  bool value_ = false;
  bool mouseHeld_ = false;
  bool timerEnabled_ = false;
  bool focusFrameVisible_ = false;
  CheckImage shown_ = CheckImage::kNone;
  ScreenPoint lastMovePosition_;
  int labelWidth_ = 0;
  int labelHeight_ = 0;
  std::function<void(bool&)> valueChanged_;
  std::function<void(std::wstring_view)> propertyChanged_;
  std::function<void()> displayChanged_;
  // Expires with the control, so that a ValueChanged handler may destroy it.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace svctune
