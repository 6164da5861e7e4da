// The spread of a bench's measurements: a value at a share of them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace cli {

// Returns the value at a share (0..1) of values, by the nearest rank: 0.5 the
// median, 0.9 the 90th percentile, 1 the largest.
template <class T>
T rank_of_share(std::vector<T> values, double share) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace cli
