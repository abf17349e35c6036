#include "app/marker_search.h"

#include <algorithm>
#include <cstring>

#include "app/byte_vector.h"

namespace {

using Byte = unsigned char;
using byte_vector::kLanes;
using byte_vector::Load;
using byte_vector::Vector;

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

// The candidate search verifies every start where the tested bytes are in place. On data made of
// the marker's own bytes (periodic data, padding, repeated records) that can be nearly every
// start, so once the candidates cost more than a given amount of work per byte scanned, plus a
// fixed allowance, the rest of the window goes to the next search. Work is counted in byte
// comparisons; a candidate costs its comparisons and, mostly, the mispredicted branches of
// finding and verifying it.
constexpr int64_t kCandidateCost = 64;
constexpr int64_t kWorkAllowance = 1024;
// The work per byte allowed before the next search: little before the search for a short-period
// marker, which is fast on any data; more before the two-way search, which on data of two
// letters in no order (many short shifts) costs tens of cycles a byte.
constexpr int64_t kWorkPerByte = 1;
constexpr int64_t kWorkPerByteBeforeTwoWay = 8;
// The run search looks at one block of 16 bytes for every runLength - 15 starts: worth it from a
// run of this length, where it looks at fewer bytes than the pair search, which tests two
// blocks for every 16 starts.
constexpr int64_t kMinRunLength = 32;

// The skipping search is used for repeating markers of this length or more, whose shortest
// move past a pair not in the marker is too long for the search for breaks to beat. Its other
// looks count as this much work, since the next look waits for each: so it gives way where the
// search for breaks, 64 bytes at a time, is faster.
constexpr int64_t kMinSkippingLength = 32;
constexpr int64_t kLookCost = 96;

// The mask of the lanes where the 16-byte blocks at a and b hold the same byte.
Vector EqualAt(const Byte* a, const Byte* b) { return byte_vector::Equal(Load(a), Load(b)); }

// The first index at which a[0, n) and b[0, n) differ, or n; sixteen bytes at a time.
int64_t FirstDifference(const Byte* a, const Byte* b, int64_t n) {
  if (n < kLanes) {
    int64_t i = 0;
    while (i < n && a[i] == b[i])
      ++i;
    return i;
  }
  int64_t i = 0;
  for (; i + kLanes <= n; i += kLanes) {
    const Vector equal = EqualAt(a + i, b + i);
    if (!byte_vector::All(equal))
      return i + __builtin_ctz(~byte_vector::Bits(equal));
  }
  if (i == n)
    return n;
  // The last block overlaps bytes already found equal, so its first difference is the first one.
  i = n - kLanes;
  const Vector equal = EqualAt(a + i, b + i);
  return byte_vector::All(equal) ? n : i + __builtin_ctz(~byte_vector::Bits(equal));
}

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

}  // namespace

MarkerSearch::MarkerSearch(const unsigned char* bytes, int64_t count) : length(count) {
  std::memcpy(marker, bytes, static_cast<size_t>(count));

  // The rarest byte value, then the rarest other value; of their places, the two farthest apart,
  // since bytes close together in a file tend to go together.
  int64_t rarest = 0;
  for (int64_t i = 1; i < length; ++i) {
    if (kByteFrequency[marker[i]] < kByteFrequency[marker[rarest]])
      rarest = i;
  }
  int64_t other = -1;
  for (int64_t i = 0; i < length; ++i) {
    if (marker[i] != marker[rarest] &&
        (other < 0 || kByteFrequency[marker[i]] < kByteFrequency[marker[other]]))
      other = i;
  }
  if (other < 0) {
    // One byte value throughout: its first and last places.
    rareOffset[0] = 0;
    rareOffset[1] = length - 1;
  } else {
    auto places = [this](Byte value, int64_t* first, int64_t* last) {
      *first = -1;
      for (int64_t i = 0; i < length; ++i) {
        if (marker[i] == value) {
          if (*first < 0)
            *first = i;
          *last = i;
        }
      }
    };
    int64_t firstRare = 0, lastRare = 0, firstOther = 0, lastOther = 0;
    places(marker[rarest], &firstRare, &lastRare);
    places(marker[other], &firstOther, &lastOther);
    if (lastOther - firstRare >= lastRare - firstOther) {
      rareOffset[0] = firstRare;
      rareOffset[1] = lastOther;
    } else {
      rareOffset[0] = lastRare;
      rareOffset[1] = firstOther;
    }
  }

  spreadOffset[0] = rareOffset[0];
  spreadOffset[1] = rareOffset[1];
  for (int k = 2; k < 8; ++k)
    spreadOffset[k] = (k - 2) * (length - 1) / 5;

  // Pairs whose hashes collide share the shortest of their shifts, which is always safe.
  std::memset(pairShift, static_cast<int>(length - 1), sizeof pairShift);
  lastPairShift = 1;
  if (length >= 2) {
    for (int64_t i = 1; i + 1 < length; ++i)
      pairShift[PairHash(marker + i - 1)] = static_cast<Byte>(length - 1 - i);
    lastPairShift = pairShift[PairHash(marker + length - 2)];
    pairShift[PairHash(marker + length - 2)] = 0;
  }

  runOffset = 0;
  runLength = 1;
  for (int64_t i = 0, run = 1; i + 1 < length; ++i) {
    run = marker[i + 1] == marker[i] ? run + 1 : 1;
    if (run > runLength) {
      runLength = run;
      runOffset = i + 2 - run;
    }
  }

  // The critical factorization of the two-way search: the later of the two maximal suffixes.
  int64_t start = 0;
  int64_t suffixPeriod = 0;
  int64_t reversedStart = 0;
  int64_t reversedPeriod = 0;
  MaximalSuffix(marker, length, false, &start, &suffixPeriod);
  MaximalSuffix(marker, length, true, &reversedStart, &reversedPeriod);
  if (reversedStart >= start) {
    start = reversedStart;
    suffixPeriod = reversedPeriod;
  }
  split = start;
  periodic = std::memcmp(marker, marker + suffixPeriod, static_cast<size_t>(split)) == 0;
  // Without a period to remember, a mismatch left of the split allows a longer shift.
  period = periodic ? suffixPeriod : std::max(split, length - split) + 1;
}

int64_t MarkerSearch::Find(const unsigned char* data, int64_t held) const {
  if (length > held)
    return -1;
  if (length == 1) {
    const void* hit = std::memchr(data, marker[0], static_cast<size_t>(held));
    return hit ? static_cast<const Byte*>(hit) - data : -1;
  }
  // A repeating marker is first looked for by skipping, which data with a flaw in each stretch
  // allows. A long run of one byte is looked for next: it is rare in nearly any data, and the
  // search for it skips too. Two bytes suffice on ordinary data; eight where the data is made of
  // the marker's bytes in no particular order; neither where it repeats them in the marker's own
  // pattern.
  int64_t from = 0;
  if (Repeats() && length >= kMinSkippingLength) {
    const int64_t skipped = FindSkipping(data, held, &from);
    if (skipped >= 0)
      return skipped;
  }
  if (runLength >= kMinRunLength) {
    const int64_t run = FindRun(data, held, from, &from);
    if (run >= 0)
      return run;
  }
  const int64_t pair = FindCandidates<2>(data, held, from, rareOffset, kWorkPerByte, &from);
  if (pair >= 0)
    return pair;
  const int64_t spread =
      FindCandidates<8>(data, held, from, spreadOffset,
                        Repeats() ? kWorkPerByte : kWorkPerByteBeforeTwoWay, &from);
  if (spread >= 0)
    return spread;
  return FindLinear(data, held, from);
}

// A start is a candidate when the tested bytes are in place, which is tested for 64 starts at
// once; on ordinary data even a pair turns up once in tens of thousands of starts, so almost
// nothing is verified. Candidates are verified in the order of their start, so the first verified
// one is the lowest. Returns it, or -1 with *stopped set to the first start not ruled out: where
// the candidates grew too costly, or where fewer than 64 starts are left.
template <int kTested>
int64_t MarkerSearch::FindCandidates(const unsigned char* data, int64_t held, int64_t from,
                                     const int64_t* offsets, int64_t workPerByte,
                                     int64_t* stopped) const {
  constexpr int64_t kStride = 4 * kLanes;
  Vector bytes[kTested];
  for (int k = 0; k < kTested; ++k)
    bytes[k] = byte_vector::Splat(marker[offsets[k]]);
  // The mask of the lanes whose start has every tested byte in place.
  auto tested = [&](const Byte* at) {
    Vector all = byte_vector::Equal(Load(at + offsets[0]), bytes[0]);
    for (int k = 1; k < kTested; ++k)
      all = byte_vector::And(all, byte_vector::Equal(Load(at + offsets[k]), bytes[k]));
    return all;
  };
  int64_t work = 0;
  int64_t start = from;
  for (; start + kStride + length - 1 <= held; start += kStride) {
    const Byte* at = data + start;
    const Vector found0 = tested(at);
    const Vector found1 = tested(at + kLanes);
    const Vector found2 = tested(at + 2 * kLanes);
    const Vector found3 = tested(at + 3 * kLanes);
    if (!byte_vector::Any(byte_vector::Or(byte_vector::Or(found0, found1),
                                          byte_vector::Or(found2, found3))))
      continue;
    for (uint64_t lanes = byte_vector::Bits(found0, found1, found2, found3); lanes != 0;
         lanes &= lanes - 1) {
      const int64_t candidate = start + __builtin_ctzll(lanes);
      if (std::memcmp(data + candidate, marker, static_cast<size_t>(length)) == 0)
        return candidate;
      work += length + kCandidateCost;
    }
    if (work > workPerByte * (start + kStride - from) + kWorkAllowance) {
      start += kStride;
      break;
    }
  }
  *stopped = start;
  return -1;
}

// The search for the marker's longest run, of r bytes of one value. Every run of r bytes holds
// one of the blocks of 16 bytes that begin t = r - 15 bytes apart, so only those blocks are
// looked at, four at a time; the starts whose run would hold block k are t starts of their own,
// and a block that is not all the run's byte rules out all t. Returns the lowest start >= from,
// or -1 with *stopped set to the first start not ruled out: where the runs grew too costly, or
// where fewer than 4t starts are left.
int64_t MarkerSearch::FindRun(const unsigned char* data, int64_t held, int64_t from,
                              int64_t* stopped) const {
  const int64_t stride = runLength - kLanes + 1;
  const Vector value = byte_vector::Splat(marker[runOffset]);
  // The block that the runs of the starts [start, start + stride) all hold.
  const int64_t lead = runOffset + stride - 1;
  int64_t work = 0;
  int64_t start = from;
  for (; start + 4 * stride - 1 + length <= held; start += 4 * stride) {
    const Byte* at = data + start + lead;
    const bool run0 = byte_vector::All(byte_vector::Equal(Load(at), value));
    const bool run1 = byte_vector::All(byte_vector::Equal(Load(at + stride), value));
    const bool run2 = byte_vector::All(byte_vector::Equal(Load(at + 2 * stride), value));
    const bool run3 = byte_vector::All(byte_vector::Equal(Load(at + 3 * stride), value));
    if (!(run0 | run1 | run2 | run3))
      continue;
    const bool runs[4] = {run0, run1, run2, run3};
    for (int k = 0; k < 4; ++k) {
      if (!runs[k])
        continue;
      const int64_t found = RunCandidate(data, held, start + k * stride + lead, &work);
      if (found >= 0)
        return found;
    }
    if (work > kWorkPerByte * (start + 4 * stride - from) + kWorkAllowance) {
      start += 4 * stride;
      break;
    }
  }
  *stopped = start;
  return -1;
}

// Where the block of 16 bytes at `probe` is all the run's byte: the one start whose run holds the
// block and lies where the data's run of that byte does, verified; -1 when it is not the marker.
// The marker's run is as long as it can be, so the data's run must begin where the marker's does
// when a different byte precedes it in the marker, and end where it does when one follows.
// Only the starts of this block are its own (the rest are another block's), so the data's run is
// followed no further than they reach. Adds the bytes looked at to *work.
int64_t MarkerSearch::RunCandidate(const unsigned char* data, int64_t held, int64_t probe,
                                   int64_t* work) const {
  const Byte value = marker[runOffset];
  const int64_t stride = runLength - kLanes + 1;
  // The starts of this block put the run's first byte in [probe - stride + 1, probe].
  const int64_t lowest = probe - stride + 1;
  int64_t first = probe;
  while (first > lowest && data[first - 1] == value)
    --first;
  int64_t end = probe + kLanes;
  const int64_t endLimit = std::min(held, probe + kLanes + stride);
  while (end < endLimit && data[end] == value)
    ++end;
  *work += (probe - first) + (end - probe) + kCandidateCost;
  const bool boundedBefore = runOffset > 0;
  const bool boundedAfter = runOffset + runLength < length;
  int64_t runStart = 0;
  if (boundedBefore) {
    runStart = first;
    if (boundedAfter ? end - first != runLength : end - first < runLength)
      return -1;
  } else {
    if (end - first < runLength)
      return -1;
    runStart = boundedAfter ? end - runLength : first;
  }
  const int64_t start = runStart - runOffset;
  if (start < 0 || start + length > held || runStart < lowest || runStart > probe)
    return -1;
  return std::memcmp(data + start, marker, static_cast<size_t>(length)) == 0 ? start : -1;
}

// The index into the skipping search's table for the pair of bytes at `at`.
int MarkerSearch::PairHash(const unsigned char* at) {
  return ((at[0] << 2) ^ at[1]) & ((1 << kPairHashBits) - 1);
}

// Horspool's search on the pair of bytes that would end the marker: where that pair is not in the
// marker, no start that puts it in the marker holds the marker, and the search moves on by up to
// the marker's length less one. For a long repeating marker (the only kind it is used for) on data
// with a flaw in every stretch it often lands on a flaw again and again. Returns the lowest
// start, or -1 with *stopped set to the first start not ruled out: where the shifts grew too
// short, or at the end of the window.
int64_t MarkerSearch::FindSkipping(const unsigned char* data, int64_t held,
                                   int64_t* stopped) const {
  const int64_t longest = length - 1;
  int64_t work = 0;
  int64_t start = 0;
  while (start + length <= held) {
    // The common case moves on by the same amount whatever the table says, so the next look
    // need not wait for this one.
    int64_t shift = pairShift[PairHash(data + start + longest - 1)];
    if (shift == longest) {
      start += longest;
      continue;
    }
    // A move by one makes the next pair the one ending a byte further on, whose place is known
    // before this look ends: where it is not in the marker either, the move is by the marker's
    // length, again the same whatever the tables say. Records as long as the marker with one flaw
    // each (padding, repeated headers) put the pair before the flaw at the end at every look.
    if (shift == 1 && start + length < held &&
        pairShift[PairHash(data + start + longest)] == longest) {
      start += length;
      continue;
    }
    if (shift == 0) {
      const int64_t mismatch = FirstDifference(marker, data + start, length);
      if (mismatch == length)
        return start;
      work += mismatch + kCandidateCost;
      // The byte that differs differs from the byte one period before it, which the marker
      // repeats: no start that holds both holds the marker.
      shift = std::max(lastPairShift, mismatch - period + 1);
    }
    start += shift;
    work += kLookCost;
    if (work > kWorkPerByte * start + kWorkAllowance)
      break;
  }
  *stopped = std::min(start, held);
  return -1;
}

// The lowest start >= from, in linear time whatever the data: also on data that defeats the
// candidate search, where the marker's own bytes are in nearly every place.
int64_t MarkerSearch::FindLinear(const unsigned char* data, int64_t held, int64_t from) const {
  return Repeats() ? FindRepeating(data, held, from) : FindTwoWay(data, held, from);
}

// Whether the marker repeats with a period of at most half its length.
bool MarkerSearch::Repeats() const { return periodic && 2 * period <= length; }

// The two-way search: a mismatch found right of the split shifts the marker past it, and the
// comparisons go sixteen bytes at a time.
int64_t MarkerSearch::FindTwoWay(const unsigned char* data, int64_t held, int64_t from) const {
  // Bytes from the marker's start that are known to match after a shift by the period.
  int64_t known = 0;
  for (int64_t at = from; at + length <= held;) {
    const int64_t right = std::max(split, known);
    const int64_t mismatch =
        right + FirstDifference(marker + right, data + at + right, length - right);
    if (mismatch == split) {
      // No start matches until the byte at the split is in place: find where it next is.
      const int64_t count = held - length - at;
      const Byte* after = data + at + split + 1;
      const void* next =
          count > 0 ? std::memchr(after, marker[split], static_cast<size_t>(count)) : nullptr;
      if (!next)
        return -1;
      at = static_cast<const Byte*>(next) - data - split;
      known = 0;
      continue;
    }
    if (mismatch < length) {
      at += mismatch - split + 1;
      known = 0;
      continue;
    }
    if (known >= split ||
        std::memcmp(marker + known, data + at + known, static_cast<size_t>(split - known)) == 0)
      return at;
    at += period;
    known = periodic ? length - period : 0;
  }
  return -1;
}

// For a marker that repeats with a period p of at most half its length L. It fits only where
// the data repeats with period p for L - p bytes on end, that is, between two breaks at least
// L - p apart (a break: a byte that differs from the byte p further on). On periodic data with a
// flaw every so often (padding, runs, repeated records) the breaks are found 64 bytes at a time
// and few stretches are long enough. Within a stretch every start repeats the start p before
// it, so only its first p starts need trying.
int64_t MarkerSearch::FindRepeating(const unsigned char* data, int64_t held,
                                    int64_t from) const {
  const int64_t span = length - period;
  // Whether position q is a break is known for q below this.
  const int64_t known = held - period;
  // The marker's starts up to `last` (at most p of them) in the stretch from `first` on.
  auto tryStretch = [&](int64_t first, int64_t last) {
    return FindTwoWay(data, std::min(last, first + period - 1) + length, first);
  };
  int64_t stretch = from;  // no break from here up to the position being looked at
  // The 64 positions from `at` on, a bit set for each break.
  auto breaksAt = [&](const Byte* at) {
    return ~byte_vector::Bits(EqualAt(at, at + period),
                              EqualAt(at + kLanes, at + kLanes + period),
                              EqualAt(at + 2 * kLanes, at + 2 * kLanes + period),
                              EqualAt(at + 3 * kLanes, at + 3 * kLanes + period));
  };
  int64_t base = from;
  if (span >= 64) {
    // Breaks within one block are too close together to hold the marker between them, so only a
    // block's first and last breaks count. Written without branches on the data, which has a
    // flaw in most blocks or in few: the blocks are looked at one after another without waiting.
    for (; base + 64 <= known; base += 64) {
      const uint64_t breaks = breaksAt(data + base);
      const bool any = breaks != 0;
      const int64_t first = base + (any ? __builtin_ctzll(breaks) : 64);
      if (any & (first - stretch >= span)) {
        const int64_t found = tryStretch(stretch, first - span);
        if (found >= 0)
          return found;
      }
      stretch = any ? base + 64 - __builtin_clzll(breaks) : stretch;
    }
  }
  for (; base < known; base += 64) {
    uint64_t breaks = 0;
    if (base + 64 <= known) {
      breaks = breaksAt(data + base);
    } else {
      for (int64_t q = base; q < known; ++q)
        breaks |= static_cast<uint64_t>(data[q] != data[q + period]) << (q - base);
    }
    for (; breaks != 0; breaks &= breaks - 1) {
      const int64_t q = base + __builtin_ctzll(breaks);
      if (q - stretch >= span) {
        const int64_t found = tryStretch(stretch, q - span);
        if (found >= 0)
          return found;
      }
      stretch = q + 1;
    }
  }
  return known - stretch >= span ? tryStretch(stretch, known - span) : -1;
}

const char* FindMarker(const char* window, const char* marker, int64_t held, int64_t* index) {
  if (!window || !marker || !index || held <= 0)
    return nullptr;
  const int64_t length =
      static_cast<int64_t>(strnlen(marker, static_cast<size_t>(MarkerSearch::kMaxLength) + 1));
  if (length == 0 || length > MarkerSearch::kMaxLength || length > held)
    return nullptr;
  const MarkerSearch search(reinterpret_cast<const unsigned char*>(marker), length);
  const int64_t start = search.Find(reinterpret_cast<const unsigned char*>(window), held);
  if (start < 0)
    return nullptr;
  *index = start;
  return window + start;
}
