// Sorted de-duplication of arrays: sort with a caller's comparison, then keep
// the first element of every run that the comparison calls equal.
//
// A comparison returns a signed integer: negative when its first argument
// orders before the second, zero when they are equal, positive after. Two
// elements are equal exactly when it returns zero; nothing else (identity,
// operator==, hashing) is consulted.
//
// The sort is stable, so the survivor of each run is the run's first element
// in input order. After sorting, each element is compared with the kept first
// element of its run (not with its predecessor), so the comparison is called
// n - 1 times after the sort's own calls. Arrays of fewer than two elements
// are left exactly as they are (not even sorted).
#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace parasort::TQUnique {

// In place. `function(a, b, context)` is called with the same `context` in
// every call, in the sort and in the de-duplicating pass.
template <class T, class Function, class Context>
void uniqueUsingFunction(std::vector<T>& array, Function function, Context* context) {
  if (array.size() < 2) return;
  std::stable_sort(array.begin(), array.end(), [&](const T& a, const T& b) {
    return std::invoke(function, a, b, context) < 0;
  });
  std::size_t kept = 0;
  for (std::size_t index = 1; index < array.size(); ++index) {
    if (std::invoke(function, std::as_const(array[kept]), std::as_const(array[index]), context) != 0) {
      ++kept;
      if (kept != index) array[kept] = std::move(array[index]);
    }
  }
  array.erase(array.begin() + static_cast<std::ptrdiff_t>(kept + 1), array.end());
}

// In place. `selector` is invoked as std::invoke(selector, kept, element): a
// pointer to a comparing member function of T (`&T::compare`) or any
// callable taking two elements.
template <class T, class Selector>
void uniqueUsingSelector(std::vector<T>& array, Selector selector) {
  auto function = [&selector](const T& a, const T& b, const void*) {
    return std::invoke(selector, a, b);
  };
  uniqueUsingFunction(array, function, static_cast<const void*>(nullptr));
}

// Copying variants: the de-duplicated copy, the receiver untouched.
template <class T, class Function, class Context>
[[nodiscard]] std::vector<T> uniqueObjectsUsingFunction(const std::vector<T>& array,
                                                        Function function, Context* context) {
  std::vector<T> copy = array;
  uniqueUsingFunction(copy, function, context);
  return copy;
}

template <class T, class Selector>
[[nodiscard]] std::vector<T> uniqueObjectsUsingSelector(const std::vector<T>& array,
                                                        Selector selector) {
  std::vector<T> copy = array;
  uniqueUsingSelector(copy, selector);
  return copy;
}

}  // namespace parasort::TQUnique
