#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "fixed_point.h"
#include "scene/ambient_info.h"
#include "scene/scene.h"
#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::lamina {

// The event of the flat progress bar; the value is passed by reference.
class ProgressEvents {
 public:
  virtual ~ProgressEvents() = default;
  virtual void Progress(short& value) = 0;
};

inline constexpr OleColour kDefaultProgressBack = 0xE0E0E0;
inline constexpr OleColour kDefaultProgressFill = 0xFF8080;
inline constexpr OleColour kProgressBarBorder = 0xFFFFFF;
inline constexpr std::int16_t kDefaultProgressMax = 100;

// The flat progress bar: the bar Press, a filled rectangle that grows from the left (or rises
// from the bottom when vertical), and the text txtPress "value/maximum" centred above it, on a
// plain surface. Lengths are twips.
class ProgressModel {
 public:
  static constexpr std::size_t kPress = 0;
  static constexpr std::size_t kTxtPress = 1;

  // requestSize asks the host for a new control size (twips); Vertical exchanges width and
  // height through it.
  ProgressModel(scene::TextMeasurer measure, ProgressEvents& events,
                std::function<void(std::wstring_view)> propertyChanged,
                std::function<void(int width, int height)> requestSize);

  const scene::Scene& Children() const { return scene_; }
  scene::Scene& Surface() { return scene_; }

  // Layout step. A size the 16-bit fields cannot hold, or a zero or negative scale, stops it
  // and the children stay as they were.
  void Resize(int widthTwips, int heightTwips);

  void InitProperties(const scene::AmbientInfo& ambient);
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient);
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const;

  const FontSpec& Font() const { return scene_.at(kTxtPress).font; }
  void SetFont(const FontSpec& font);
  OleColour BackColor() const { return backColour_; }
  void SetBackColor(OleColour colour);
  OleColour FillColor() const { return scene_.at(kPress).backColour; }
  void SetFillColor(OleColour colour);
  std::int16_t Max() const { return maxValue_; }
  void SetMax(std::int16_t maximum);
  std::int16_t Value() const { return curValue_; }
  void SetValue(std::int16_t value);
  bool Vertical() const { return vertical_; }
  void SetVertical(bool vertical);
  bool ShowTxt() const { return scene_.at(kTxtPress).visible; }
  void SetShowTxt(bool show);

  FixedPoint UnitStep() const { return unitStep_; }
  std::int16_t StoredWidth() const { return storedWidth_; }
  std::int16_t StoredHeight() const { return storedHeight_; }

 private:
  void Layout();
  void PlaceBar(std::int16_t value);
  void ShowText(std::int16_t value);
  void Changed(std::wstring_view name);

  scene::Scene scene_;
  ProgressEvents& events_;
  std::function<void(std::wstring_view)> propertyChanged_;
  std::function<void(int, int)> requestSize_;
  OleColour backColour_ = kDefaultProgressBack;
  std::int16_t storedWidth_ = 0;
  std::int16_t storedHeight_ = 0;
  std::int16_t maxValue_ = 0;
  std::int16_t curValue_ = 0;
  FixedPoint unitStep_;
  bool vertical_ = false;
};

}  // namespace svctune::lamina
