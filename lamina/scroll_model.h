#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "fixed_point.h"
#include "scene/ambient_info.h"
#include "scene/scene.h"
#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::lamina {

// The event of the flat scroll bars.
class ScrollEvents {
 public:
  virtual ~ScrollEvents() = default;
  virtual void Change() = 0;
};

enum class ScrollOrientation { kVertical, kHorizontal };

// How a property assignment ended, for the error the host sees.
enum class Assignment { kDone, kOverflow, kDesignTimeOnly };

inline constexpr OleColour kDefaultScrollBack = 0xFFFFFF;
inline constexpr OleColour kDefaultScrollUnFocusFC = 0xFF0000;
inline constexpr OleColour kDefaultScrollFocusBC = 0xFF8080;
inline constexpr OleColour kDefaultScrollFocusFC = 0xC0FFFF;
inline constexpr OleColour kDefaultScrollUnFocusBC = 0xE0E0E0;

// Key codes the scroll bars answer.
inline constexpr short kPageUpKey = 33;
inline constexpr short kPageDownKey = 34;
inline constexpr short kLeftKey = 37;
inline constexpr short kUpKey = 38;
inline constexpr short kRightKey = 39;
inline constexpr short kDownKey = 40;

struct ControlSize {
  int width = 0;
  int height = 0;
};

// The flat scroll bars Vscroll and Hscroll: the arrows SCR(0) (decrement) and SCR(1)
// (increment) at the ends, the square thumb pSCR between them on the surface, which is the
// track. "Along" is the direction the thumb moves (down for Vscroll, right for Hscroll).
// Lengths are twips.
class ScrollModel : private scene::LabelMouseHandler {
 public:
  static constexpr std::size_t kDecrement = 0;
  static constexpr std::size_t kIncrement = 1;
  static constexpr std::size_t kThumb = 2;
  static constexpr std::int16_t kMinPos = 240;

  ScrollModel(ScrollOrientation orientation, scene::TextMeasurer measure, ScrollEvents& events,
              std::function<void(std::wstring_view)> propertyChanged);

  const scene::Scene& Children() const { return scene_; }
  scene::Scene& Surface() { return scene_; }
  OleColour SurfaceColour() const { return backColour_; }
  // The smallest size the layout accepts, and a size raised to it.
  ControlSize MinimumSize() const;
  ControlSize Constrain(ControlSize size) const;

  // Layout step with the size raised to the minimum; none (and nothing changed) when a
  // length does not fit the 16-bit fields.
  std::optional<ControlSize> Resize(int widthTwips, int heightTwips);

  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  OleColour BackColor() const { return backColour_; }
  void SetBackColor(OleColour colour);
  OleColour UnFocusFC() const { return normalFC_; }
  void SetUnFocusFC(OleColour colour);
  OleColour FocusBC() const { return focusBC_; }
  Assignment SetFocusBC(OleColour colour, bool userMode);
  OleColour FocusFC() const { return focusFC_; }
  Assignment SetFocusFC(OleColour colour, bool userMode);
  OleColour UnFocusBC() const { return normalBC_; }
  void SetUnFocusBC(OleColour colour);
  std::int16_t Max() const { return maxValue_; }
  Assignment SetMax(std::int16_t maximum);
  std::int16_t Min() const { return minValue_; }
  Assignment SetMin(std::int16_t minimum);
  std::int16_t MinChange() const { return minChange_; }
  Assignment SetMinChange(std::int16_t change);
  std::int16_t MaxChange() const { return maxChange_; }
  Assignment SetMaxChange(std::int16_t change);
  std::int16_t MoveValue() const { return moveValue_; }
  void SetMoveValue(std::int16_t value);

  // Input of the control's window (surface coordinates, twips).
  void MouseDown(short button, short shift, double x, double y);
  void MouseMove(short button, short shift, double x, double y);
  void MouseUp(short button, short shift, double x, double y);
  void KeyDown(short keyCode);
  bool HandlesKey(short keyCode) const;
  void GotFocus();
  void LostFocus();

  std::int16_t MinPos() const { return minPos_; }
  std::int16_t MaxPos() const { return maxPos_; }
  FixedPoint UnitStep() const { return unitStep_; }
  bool Dragging() const { return dragging_; }
  // The thumb's place along the track.
  double ThumbPos() const;

 private:
  void LabelMouse(std::size_t id, scene::MouseAction action, short button, short shift, float x,
                  float y) override;
  void LabelClick(std::size_t) override {}
  void SurfaceMouse(scene::MouseAction action, short button, short shift, float x,
                    float y) override;

  // Moves an element along the track, keeping its place across it.
  void PlaceAlong(std::size_t id, double position);
  void PlaceThumb(std::int16_t value);
  // MoveValue := moveValue + delta, unless the sum leaves the 16-bit range.
  void Step(int delta);
  std::optional<std::int16_t> Range() const;
  void Changed(std::wstring_view name);

  ScrollOrientation orientation_;
  scene::Scene scene_;
  ScrollEvents& events_;
  std::function<void(std::wstring_view)> propertyChanged_;
  OleColour backColour_;
  OleColour focusBC_ = kDefaultScrollFocusBC;
  OleColour focusFC_ = kDefaultScrollFocusFC;
  OleColour normalFC_ = kDefaultScrollUnFocusFC;
  OleColour normalBC_ = kDefaultScrollUnFocusBC;
  std::int16_t moveValue_ = 0;
  std::int16_t maxValue_ = 0;
  std::int16_t minValue_ = 0;
  std::int16_t minChange_ = 0;
  std::int16_t maxChange_ = 0;
  std::int16_t minPos_ = 0;
  std::int16_t maxPos_ = 0;
  FixedPoint unitStep_;
  bool dragging_ = false;
  std::int16_t grabOffset_ = 0;
};

}  // namespace svctune::lamina
