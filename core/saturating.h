#pragma once
// Counters read from files may already stand at their type's largest value, and
// sizes measured on screen may not fit the 16-bit values the settings keep.

#include <QtGlobal>
#include <cmath>
#include <limits>

namespace velnor {

template <typename T>
constexpr T saturatingIncrement(T value) {
  return value < std::numeric_limits<T>::max() ? T(value + 1) : value;
}

// Rounds to the nearest 16-bit value, clamping instead of wrapping.
inline qint16 clampTo16(double value) {
  const double r = std::nearbyint(value);
  if (r > std::numeric_limits<qint16>::max()) return std::numeric_limits<qint16>::max();
  if (r < std::numeric_limits<qint16>::min()) return std::numeric_limits<qint16>::min();
  return qint16(r);
}

}  // namespace velnor
