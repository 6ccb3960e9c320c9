#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace svctune::lamina {

// A number with four decimal places held as a 64-bit integer scaled by 10000 (the component
// runtime's currency type): the controls round their twips-per-unit steps to it.
class FixedPoint {
 public:
  static constexpr std::int64_t kScale = 10000;

  FixedPoint() = default;
  // The quotient rounded to four decimal places (halves to even); none for a zero divisor.
  static std::optional<FixedPoint> Divide(double dividend, double divisor) {
    if (divisor == 0) {
      return std::nullopt;
    }
    FixedPoint result;
    result.scaled_ = static_cast<std::int64_t>(std::nearbyint(dividend / divisor * kScale));
    return result;
  }

  bool IsZero() const { return scaled_ == 0; }
  std::int64_t Scaled() const { return scaled_; }
  double ToDouble() const { return static_cast<double>(scaled_) / kScale; }
  // times a whole number, exactly
  double Times(std::int64_t factor) const { return static_cast<double>(scaled_ * factor) / kScale; }

 private:
  std::int64_t scaled_ = 0;
};

// A value as a signed 16-bit field holds it: rounded to the nearest whole number (halves to
// even); none when it does not fit.
inline std::optional<std::int16_t> ToInt16(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
        rounded <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(rounded);
}

}  // namespace svctune::lamina
