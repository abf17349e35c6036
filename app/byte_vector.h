#ifndef OSTRA_APP_BYTE_VECTOR_H_
#define OSTRA_APP_BYTE_VECTOR_H_

#include <cstdint>

// Sixteen bytes at a time: the few vector operations the marker search is written in. x86 has
// SSE2 (x86-64 by definition; the 32-bit Windows build is compiled for it) and every AArch64
// processor has NEON, so each build has one implementation and no run-time choice.
namespace byte_vector {

constexpr int64_t kLanes = 16;

/// Sixteen bytes. A mask is a vector whose lanes are each 0x00 or 0xFF.
struct Vector;

/// Returns the 16 bytes at `at`, which need no alignment.
inline Vector Load(const unsigned char* at);

/// Returns `value` in every lane.
inline Vector Splat(unsigned char value);

/// Returns the mask of the lanes where `a` and `b` hold the same byte.
inline Vector Equal(Vector a, Vector b);

/// Return the lane-wise and, or, of two masks.
inline Vector And(Vector a, Vector b);
inline Vector Or(Vector a, Vector b);

/// Return whether any lane, or every lane, of a mask is set.
inline bool Any(Vector mask);
inline bool All(Vector mask);

/// Returns the lanes of a mask as bits: bit n is set when lane n is.
inline uint32_t Bits(Vector mask);

/// Returns the lanes of four masks, 64 in all, as bits: bit 16 * k + n is lane n of mask k.
inline uint64_t Bits(Vector mask0, Vector mask1, Vector mask2, Vector mask3);

}  // namespace byte_vector

#if defined(__SSE2__)
#include "app/byte_vector_sse2.inc"
#elif defined(__ARM_NEON)
#include "app/byte_vector_neon.inc"
#else
#error "the marker search needs SSE2 (x86) or NEON (arm64)"
#endif

#endif  // OSTRA_APP_BYTE_VECTOR_H_
