#ifndef OSTRA_STAMP_BYTE_VECTOR_H_
#define OSTRA_STAMP_BYTE_VECTOR_H_

#include <cstdint>

// The few vector operations the marker search is written in. Each vector unit is a struct of
// static members, all of the same names, and the search is a template over it:
//
//   kLanes               the bytes a vector holds: 16, 32 or 64
//   Vector, Mask         a vector of kLanes bytes; the mask of its lanes that a comparison gives
//   Load(at)             the kLanes bytes at `at`, which need no alignment
//   Splat(value)         `value` in every lane
//   Equal(a, b)          the mask of the lanes where vectors a and b hold the same byte
//   And(a, b), Or(a, b)  the lane-wise and, or, of two masks
//   Any(m), All(m)       whether any lane, or every lane, of a mask is set
//   Lanes(m)             the lanes of one mask as bits: bit n is set when lane n is
//   Bits(m0, ...)        the lanes of 64 / kLanes masks, 64 in all, as bits: bit kLanes * k + n
//                        is lane n of mask k (masks passed by value stay in registers)
//   Narrowest            the unit's 16-byte form, for blocks that a wider vector would overrun
//
// Every x86 processor has SSE2 (x86-64 by definition; the 32-bit Windows build is compiled for
// it) and every AArch64 processor has NEON: the build's own unit, which this header gives. The
// wider x86 units, AVX2 and AVX-512BW, are in files of their own, included only where a file is
// compiled for them, and chosen when the program starts (stamp/marker_search_x86.cpp).
//
// Each unit is in an unnamed namespace: the files that include them are compiled for different
// instruction sets, and one shared copy of an inline function, which the linker may take from
// any of them, could run one processor's instructions on another.

#if defined(__SSE2__)
#include "stamp/byte_vector_sse2.inc"
namespace byte_vector {
namespace {
using BuildVectors = Sse2;
}
}  // namespace byte_vector
#elif defined(__ARM_NEON)
#include "stamp/byte_vector_neon.inc"
namespace byte_vector {
namespace {
using BuildVectors = Neon;
}
}  // namespace byte_vector
#else
#error "the marker search needs SSE2 (x86) or NEON (arm64)"
#endif

#endif  // OSTRA_STAMP_BYTE_VECTOR_H_
