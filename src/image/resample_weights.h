#pragma once

#include <vector>

namespace tvx {

// Which source pixels of one axis make each output pixel, and how much of each. Output pixel
// i takes the `count` source pixels from `first` with the weights from `weights[offset]`,
// which add up to 1.
struct ResampleTap {
  int first = 0;
  int count = 0;
  int offset = 0;
};

struct ResampleWeights {
  std::vector<ResampleTap> taps;  // one per output pixel
  std::vector<float> weights;
  // The source pixels any output pixel reads: [lowest, highest].
  int lowest = 0;
  int highest = -1;
};

// The weights of the output pixels [start, start + length) of an axis of sourceLength pixels
// scaled to scaledLength. Shrinking averages the area each output pixel covers (a box filter
// with fractional coverage at its ends); enlarging interpolates linearly between the two
// nearest pixel centres, holding the edge pixels beyond the outermost centres.
ResampleWeights ComputeResampleWeights(int sourceLength, int scaledLength, int start, int length);

}  // namespace tvx
