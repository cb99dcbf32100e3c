// The wave kernel on sixteen lanes of AVX-512 (F and DQ). This file alone
// is compiled with those instruction sets (and without FMA, which would
// change the rounding), and is only called after the processor and the
// operating system have been found to support them.
#include <immintrin.h>

// GCC 12's AVX-512 headers pass undefined vectors to masked builtins and
// then warn about their own code.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "sim/wave_kernel_body.h"

namespace rillmark::detail {
namespace {

struct Avx512Ops {
  using F = __m512;
  using D = __m512d;
  static constexpr std::size_t kLanes = 16;

  static F splat(float v) { return _mm512_set1_ps(v); }
  static D splat(double v) { return _mm512_set1_pd(v); }
  static F load(const float* p) { return _mm512_loadu_ps(p); }
  static void store(float* p, F v) { _mm512_storeu_ps(p, v); }
  static F sqrt(F v) { return _mm512_sqrt_ps(v); }
  static F min(F a, F b) { return _mm512_min_ps(a, b); }
  static F max(F a, F b) { return _mm512_max_ps(a, b); }  // b where a is NaN

  // Masks are mask registers, a bit per lane.
  using M = __mmask16;
  static M both(M a, M b) { return a & b; }
  static F only(M mask, F v) { return _mm512_maskz_mov_ps(mask, v); }  // 0 outside the mask
  static M notGreater(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_NGT_UQ); }
  static M lessEqual(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_LE_OQ); }
  static M isFinite(F v) { return _mm512_cmp_ps_mask(_mm512_abs_ps(v), _mm512_set1_ps(3.40282347e+38f), _CMP_LE_OQ); }
  static F select(M mask, F a, F b) { return _mm512_mask_blend_ps(mask, b, a); }
  static bool none(M mask) { return mask == 0; }
  static M firstLanes(std::size_t n) { return static_cast<M>((1u << n) - 1); }
  static void countLanes(std::uint32_t* counts, M mask) {
    const __m512i before = _mm512_loadu_si512(counts);
    _mm512_storeu_si512(counts, _mm512_mask_add_epi32(before, mask, before, _mm512_set1_epi32(1)));
  }

  using I = __m512i;
  static constexpr std::size_t kDoubles = 8;
  static I nearestInteger(F v) { return _mm512_cvtps_epi32(v); }  // rounds to nearest
  static F toFloat(I v) { return _mm512_cvtepi32_ps(v); }
  static I splat(std::int32_t v) { return _mm512_set1_epi32(v); }
  static I subtract(I a, I b) { return _mm512_sub_epi32(a, b); }
  template <int kBits>
  static I shiftLeft(I v) { return _mm512_slli_epi32(v, kBits); }
  static void storeInt(std::int32_t* p, I v) { _mm512_store_si512(p, v); }
  static D widen(const float* p) { return _mm512_cvtps_pd(_mm256_load_ps(p)); }
  static void storeNarrow(float* p, D v) { _mm256_store_ps(p, _mm512_cvtpd_ps(v)); }
  // The rows at eight byte offsets into the table, transposed into one
  // vector per coefficient: rows i and i + 4 share a vector, which pairs
  // with its neighbour's by unpacking and across halves by permuting.
  static void loadRows(const char* rows, const std::int32_t* offsets, D& c0, D& c1, D& c2, D& c3) {
    auto pair = [&](int i) {
      const auto* low = reinterpret_cast<const double*>(rows + offsets[i]);
      const auto* high = reinterpret_cast<const double*>(rows + offsets[i + 4]);
      return _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_load_pd(low)), _mm256_load_pd(high), 1);
    };
    const D rows04 = pair(0), rows15 = pair(1), rows26 = pair(2), rows37 = pair(3);
    const D even01 = _mm512_unpacklo_pd(rows04, rows15);  // c0 c0 c2 c2, twice
    const D odd01 = _mm512_unpackhi_pd(rows04, rows15);   // c1 c1 c3 c3, twice
    const D even23 = _mm512_unpacklo_pd(rows26, rows37);
    const D odd23 = _mm512_unpackhi_pd(rows26, rows37);
    const __m512i first = _mm512_setr_epi64(0, 1, 8, 9, 4, 5, 12, 13);
    const __m512i second = _mm512_setr_epi64(2, 3, 10, 11, 6, 7, 14, 15);
    c0 = _mm512_permutex2var_pd(even01, first, even23);
    c1 = _mm512_permutex2var_pd(odd01, first, odd23);
    c2 = _mm512_permutex2var_pd(even01, second, even23);
    c3 = _mm512_permutex2var_pd(odd01, second, odd23);
  }
};

}  // namespace

void addEventWaveAvx512(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  if (table.quartic) {
    addEventWaveWith<Avx512Ops, true>(wave, table, run);
  } else {
    addEventWaveWith<Avx512Ops, false>(wave, table, run);
  }
}

}  // namespace rillmark::detail
