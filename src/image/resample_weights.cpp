#include "image/resample_weights.h"

#include <algorithm>
#include <cmath>

namespace tvx {
namespace {

void AddTap(ResampleWeights& table, int first, const std::vector<double>& weights) {
  double total = 0;
  for (double w : weights) {
    total += w;
  }
  table.taps.push_back(
      {first, static_cast<int>(weights.size()), static_cast<int>(table.weights.size())});
  for (double w : weights) {
    table.weights.push_back(static_cast<float>(w / total));
  }
  table.lowest = std::min(table.lowest, first);
  table.highest = std::max(table.highest, first + static_cast<int>(weights.size()) - 1);
}

// Output pixel i covers the source interval [i × ratio, (i + 1) × ratio).
void AreaTap(ResampleWeights& table, int i, double ratio, int sourceLength) {
  const double begin = i * ratio;
  const double end = std::min((i + 1) * ratio, static_cast<double>(sourceLength));
  const int first = static_cast<int>(std::floor(begin));
  const int last = std::min(static_cast<int>(std::ceil(end)) - 1, sourceLength - 1);
  std::vector<double> weights;
  for (int j = first; j <= last; ++j) {
    weights.push_back(std::min<double>(j + 1, end) - std::max<double>(j, begin));
  }
  AddTap(table, first, weights);
}

// Output pixel i's centre lies at source position (i + 0.5) × ratio − 0.5.
void LinearTap(ResampleWeights& table, int i, double ratio, int sourceLength) {
  const double at = std::clamp((i + 0.5) * ratio - 0.5, 0.0, sourceLength - 1.0);
  const int left = std::min(static_cast<int>(at), sourceLength - 1);
  const double toRight = at - left;
  if (toRight == 0 || left + 1 >= sourceLength) {
    AddTap(table, left, {1.0});
    return;
  }
  AddTap(table, left, {1.0 - toRight, toRight});
}

}  // namespace

ResampleWeights ComputeResampleWeights(int sourceLength, int scaledLength, int start, int length) {
  ResampleWeights table;
  table.lowest = sourceLength;
  table.taps.reserve(static_cast<std::size_t>(std::max(length, 0)));
  const double ratio = static_cast<double>(sourceLength) / scaledLength;
  for (int i = start; i < start + length; ++i) {
    if (scaledLength < sourceLength) {
      AreaTap(table, i, ratio, sourceLength);
    } else {
      LinearTap(table, i, ratio, sourceLength);
    }
  }
  return table;
}

}  // namespace tvx
