#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune {

// The platform's colour translation (OleTranslateColor under Windows): the RGB value of a
// colour, or nothing when the colour cannot be translated.
using ColourTranslator = std::function<std::optional<OleColour>(OleColour colour)>;

// Orientation: the direction in which the fill grows.
enum class FillDirection : std::int32_t { kUp = 0, kRight = 1, kLeft = 2, kDown = 3 };

// How the border of the bar is drawn (BorderStyle 0..5).
enum class BorderKind { kNone, kBump, kEtched, kRaised, kLine, kSunken };
BorderKind BorderKindOf(std::int32_t borderStyle);

// One line of the fill, in the logical units of the bar's mapping.
struct GradientLine {
  int index = 0;
  OleColour colour = 0;  // plain RGB
  int fromX = 0;
  int fromY = 0;
  int toX = 0;
  int toY = 0;
};

// Everything one refresh draws into a W x H pixel surface, in order: the surface filled with
// the back colour; under an anisotropic mapping with the given window extent (viewport W x
// H), every line with a solid pen penWidth logical units wide; then, back in pixels, the
// border on (0, 0, W, H). Colours are plain RGB.
struct ProgressBarDrawing {
  int width = 0;
  int height = 0;
  OleColour backColour = 0;
  int windowExtentX = 0;
  int windowExtentY = 0;
  int penWidth = 3;
  std::vector<GradientLine> lines;
  BorderKind border = BorderKind::kNone;
  OleColour borderColour = 0;
};

// The gradient progress bar: a bar filled with a colour gradient in proportion to Value out
// of Steps. At most 256 lines are drawn, whatever the size of the bar.
class ProgressBar {
 public:
  static constexpr std::int32_t kDefaultSteps = 100;
  static constexpr OleColour kDefaultFromColor = 0xFFFFFF;
  static constexpr OleColour kDefaultToColor = 0xFF0000;
  static constexpr OleColour kDefaultBackColor = kButtonFace;
  static constexpr std::int32_t kDefaultBorderStyle = 5;
  static constexpr OleColour kDefaultBorderColor = 0;
  static constexpr std::int32_t kDefaultOrientation = 1;
  static constexpr int kLogicalLength = 255;  // logical units across the fill direction

  // A new control starts with the defaults (InitProperties).
  explicit ProgressBar(ColourTranslator translate);
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Every setter stores its value, reports its bag key and refreshes the bar. A system colour
  // given to a colour property is stored as its RGB value at that moment (unchanged when it
  // cannot be translated).
  std::int32_t Steps() const { return steps_; }
  void SetSteps(std::int32_t steps);
  std::int32_t Value() const { return value_; }
  void SetValue(std::int32_t value);
  OleColour FromColor() const { return fromColor_; }
  void SetFromColor(OleColour colour);
  OleColour ToColor() const { return toColor_; }
  void SetToColor(OleColour colour);
  OleColour BackColor() const { return backColor_; }
  void SetBackColor(OleColour colour);
  std::int32_t BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(std::int32_t style);
  OleColour BorderColor() const { return borderColor_; }
  void SetBorderColor(OleColour colour);
  std::int32_t Orientation() const { return orientation_; }
  void SetOrientation(std::int32_t orientation);

  // Value + increment, clamped like any Value.
  void Step(std::int32_t increment);
  // Repaints the bar.
  void Refresh() const;

  // The container's property bag: "Steps", "Value", "FromColor", "ToColor", "BackColor",
  // "BorderStyle", "BorderColor", "Orientation".
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // What a refresh of a W x H pixel bar draws.
  ProgressBarDrawing Drawing(int width, int height) const;
  // The colour of line i of the fill (0..255).
  OleColour LineColour(int index) const;
  // Whether line i is part of the fill for the current Steps and Value.
  bool LineFilled(int index) const;

  void OnPropertyChanged(std::function<void(std::wstring_view key)> listener) {
    propertyChanged_ = std::move(listener);
  }
  // The view repaints when it hears this.
  void OnRefresh(std::function<void()> listener) { refresh_ = std::move(listener); }

 private:
  OleColour Translated(OleColour colour) const;
  void Report(std::wstring_view key) const;
  void Changed(std::wstring_view key) const;

  ColourTranslator translate_;
  std::int32_t steps_ = kDefaultSteps;
  std::int32_t value_ = 0;
  OleColour fromColor_ = kDefaultFromColor;
  OleColour toColor_ = kDefaultToColor;
  OleColour backColor_ = kDefaultBackColor;
  std::int32_t borderStyle_ = kDefaultBorderStyle;
  OleColour borderColor_ = kDefaultBorderColor;
  std::int32_t orientation_ = kDefaultOrientation;
  std::function<void(std::wstring_view)> propertyChanged_;
  std::function<void()> refresh_;
};

}  // namespace svctune
