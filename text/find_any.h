#pragma once
// Finding the next of a few byte or UTF-16 values, sixteen bytes at a time
// where the processor offers it. The decoding steps look for a handful of
// characters that come every few bytes; comparing a block at once spares a
// branch, and its mispredictions, on every byte of mixed text.

#include <array>
#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Index of the first unit at or after `from` that equals one of `targets`;
// `size` when there is none.
template <typename Unit, size_t N>
size_t FindAnyOf(const Unit* data, size_t from, size_t size, const std::array<Unit, N>& targets) {
  static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2);
  size_t i = from;
#if defined(__SSE2__)
  constexpr size_t kLanes = 16 / sizeof(Unit);
  for (; i + kLanes <= size; i += kLanes) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    __m128i hits = _mm_setzero_si128();
    for (const Unit target : targets) {
      if constexpr (sizeof(Unit) == 1) {
        hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(target))));
      } else {
        hits =
            _mm_or_si128(hits, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(target))));
      }
    }
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask)) / sizeof(Unit);
  }
#endif
  for (; i < size; ++i) {
    for (const Unit target : targets) {
      if (data[i] == target) return i;
    }
  }
  return size;
}
