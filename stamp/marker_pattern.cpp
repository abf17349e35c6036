#include "stamp/marker_pattern.h"

#include <algorithm>
#include <cstring>

namespace {

using Byte = unsigned char;

// Each byte's share of a typical file, in units of 1/65,536: the average over Windows and Linux
// programs and libraries, text and compressed data (bench/byte_frequencies.py prints it). The
// candidate search tests the two marker bytes least likely to be in the file.
constexpr uint16_t kByteFrequency[256] = {
    10232, 870, 439, 405, 362, 389, 248, 175, 379, 281, 571, 163, 148, 156, 220, 515,
    262, 143, 136, 133, 136, 133, 105, 106, 173, 104, 100, 99, 106, 97, 95, 200,
    2861, 106, 127, 141, 447, 138, 95, 103, 249, 205, 319, 100, 242, 209, 286, 355,
    294, 277, 190, 151, 138, 132, 120, 105, 169, 167, 144, 153, 130, 143, 108, 100,
    218, 516, 202, 318, 471, 472, 213, 216, 1052, 524, 108, 134, 499, 234, 290, 270,
    327, 115, 339, 376, 412, 226, 157, 143, 171, 151, 101, 119, 128, 121, 99, 724,
    129, 847, 306, 604, 590, 1524, 500, 308, 419, 1023, 101, 158, 618, 397, 899, 890,
    505, 100, 885, 863, 1300, 490, 217, 208, 203, 248, 109, 98, 120, 103, 93, 94,
    165, 101, 95, 262, 224, 224, 91, 87, 110, 576, 80, 405, 97, 304, 86, 83,
    183, 92, 83, 85, 95, 83, 80, 80, 96, 77, 78, 80, 88, 81, 79, 97,
    103, 76, 79, 82, 82, 79, 79, 79, 91, 77, 85, 80, 85, 81, 80, 82,
    105, 78, 79, 81, 86, 84, 111, 93, 112, 95, 106, 91, 93, 101, 103, 97,
    232, 130, 107, 155, 119, 101, 113, 148, 102, 106, 84, 85, 91, 83, 89, 86,
    124, 91, 106, 90, 81, 84, 86, 84, 104, 90, 84, 95, 80, 84, 89, 110,
    126, 88, 91, 84, 88, 84, 88, 94, 299, 169, 89, 121, 107, 97, 95, 112,
    118, 90, 98, 123, 88, 89, 125, 105, 131, 103, 108, 109, 110, 121, 152, 866,
};

// The start of the maximal suffix of x[0, n) under the byte order, or under the reversed order,
// and the period of that suffix.
void MaximalSuffix(const Byte* x, int64_t n, bool reversed, int64_t* start, int64_t* period) {
  int64_t best = -1;  // the suffix starts at best + 1
  int64_t j = 0;
  int64_t k = 1;
  int64_t p = 1;
  while (j + k < n) {
    const Byte a = x[j + k];
    const Byte b = x[best + k];
    if (reversed ? a > b : a < b) {
      j += k;
      k = 1;
      p = j - best;
    } else if (a == b) {
      if (k != p) {
        ++k;
      } else {
        j += p;
        k = 1;
      }
    } else {
      best = j++;
      k = p = 1;
    }
  }
  *start = best + 1;
  *period = p;
}

// The rarest byte value, then the rarest other value; of their places, the two farthest apart,
// since bytes close together in a file tend to go together. One byte value throughout gives its
// first and last places.
void ChooseRareOffsets(MarkerPattern& p) {
  int64_t rarest = 0;
  for (int64_t i = 1; i < p.length; ++i) {
    if (kByteFrequency[p.marker[i]] < kByteFrequency[p.marker[rarest]])
      rarest = i;
  }
  int64_t other = -1;
  for (int64_t i = 0; i < p.length; ++i) {
    if (p.marker[i] != p.marker[rarest] &&
        (other < 0 || kByteFrequency[p.marker[i]] < kByteFrequency[p.marker[other]]))
      other = i;
  }
  if (other < 0) {
    p.rareOffset[0] = 0;
    p.rareOffset[1] = p.length - 1;
    return;
  }
  auto places = [&p](Byte value, int64_t* first, int64_t* last) {
    *first = -1;
    for (int64_t i = 0; i < p.length; ++i) {
      if (p.marker[i] == value) {
        if (*first < 0)
          *first = i;
        *last = i;
      }
    }
  };
  int64_t firstRare = 0, lastRare = 0, firstOther = 0, lastOther = 0;
  places(p.marker[rarest], &firstRare, &lastRare);
  places(p.marker[other], &firstOther, &lastOther);
  if (lastOther - firstRare >= lastRare - firstOther) {
    p.rareOffset[0] = firstRare;
    p.rareOffset[1] = lastOther;
  } else {
    p.rareOffset[0] = lastRare;
    p.rareOffset[1] = firstOther;
  }
}

// Pairs whose hashes collide share the shortest of their shifts, which is always safe.
void FillPairShifts(MarkerPattern& p) {
  std::memset(p.pairShift, static_cast<int>(p.length - 1), sizeof p.pairShift);
  p.lastPairShift = 1;
  if (p.length < 2)
    return;
  for (int64_t i = 1; i + 1 < p.length; ++i)
    p.pairShift[PairHash(p.marker + i - 1)] = static_cast<Byte>(p.length - 1 - i);
  p.lastPairShift = p.pairShift[PairHash(p.marker + p.length - 2)];
  p.pairShift[PairHash(p.marker + p.length - 2)] = 0;
}

void FindLongestRun(MarkerPattern& p) {
  p.runOffset = 0;
  p.runLength = 1;
  for (int64_t i = 0, run = 1; i + 1 < p.length; ++i) {
    run = p.marker[i + 1] == p.marker[i] ? run + 1 : 1;
    if (run > p.runLength) {
      p.runLength = run;
      p.runOffset = i + 2 - run;
    }
  }
}

// The critical factorization of the two-way search: the later of the two maximal suffixes.
void FactorizeCritically(MarkerPattern& p) {
  int64_t start = 0;
  int64_t suffixPeriod = 0;
  int64_t reversedStart = 0;
  int64_t reversedPeriod = 0;
  MaximalSuffix(p.marker, p.length, false, &start, &suffixPeriod);
  MaximalSuffix(p.marker, p.length, true, &reversedStart, &reversedPeriod);
  if (reversedStart >= start) {
    start = reversedStart;
    suffixPeriod = reversedPeriod;
  }
  p.split = start;
  p.periodic = std::memcmp(p.marker, p.marker + suffixPeriod, static_cast<size_t>(p.split)) == 0;
  // Without a period to remember, a mismatch left of the split allows a longer shift.
  p.period = p.periodic ? suffixPeriod : std::max(p.split, p.length - p.split) + 1;
}

}  // namespace

MarkerPattern PrepareMarkerPattern(const unsigned char* bytes, int64_t count) {
  MarkerPattern p{};
  p.length = count;
  std::memcpy(p.marker, bytes, static_cast<size_t>(count));
  ChooseRareOffsets(p);
  p.spreadOffset[0] = p.rareOffset[0];
  p.spreadOffset[1] = p.rareOffset[1];
  for (int k = 2; k < 8; ++k)
    p.spreadOffset[k] = (k - 2) * (p.length - 1) / 5;
  FillPairShifts(p);
  FindLongestRun(p);
  FactorizeCritically(p);
  return p;
}
