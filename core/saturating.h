#pragma once
// Counters read from files may already stand at their type's largest value.

#include <limits>

namespace velnor {

template <typename T>
constexpr T saturatingIncrement(T value) {
  return value < std::numeric_limits<T>::max() ? T(value + 1) : value;
}

}  // namespace velnor
