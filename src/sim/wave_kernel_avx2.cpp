// The wave kernel on eight lanes of AVX2. This file alone is compiled with
// -mavx2 (and without FMA, which would change the rounding), and is only
// called after the processor has been found to have AVX2.
#include <immintrin.h>

#include "sim/wave_kernel_body.h"

namespace rillmark::detail {
namespace {

struct Avx2Ops {
  using F = __m256;
  using D = __m256d;
  static constexpr std::size_t kLanes = 8;

  static F splat(float v) { return _mm256_set1_ps(v); }
  static D splat(double v) { return _mm256_set1_pd(v); }
  static F load(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, F v) { _mm256_storeu_ps(p, v); }
  static F sqrt(F v) { return _mm256_sqrt_ps(v); }
  static F min(F a, F b) { return _mm256_min_ps(a, b); }
  static F max(F a, F b) { return _mm256_max_ps(a, b); }  // b where a is NaN

  // Masks are vectors with every bit of a lane set or clear.
  using M = F;
  static M both(M a, M b) { return _mm256_and_ps(a, b); }
  static F only(M mask, F v) { return _mm256_and_ps(mask, v); }  // 0 outside the mask
  static M notGreater(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_NGT_UQ); }
  static M lessEqual(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }
  static M isFinite(F v) {
    return _mm256_cmp_ps(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), v), _mm256_set1_ps(3.40282347e+38f), _CMP_LE_OQ);
  }
  static F select(M mask, F a, F b) { return _mm256_blendv_ps(b, a, mask); }
  static bool none(M mask) { return _mm256_movemask_ps(mask) == 0; }
  static M firstLanes(std::size_t n) {
    return _mm256_cmp_ps(_mm256_setr_ps(0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f),
                         _mm256_set1_ps(static_cast<float>(n)), _CMP_LT_OQ);
  }
  static void countLanes(std::uint32_t* counts, M mask) {
    auto* p = reinterpret_cast<__m256i*>(counts);
    _mm256_storeu_si256(p, _mm256_sub_epi32(_mm256_loadu_si256(p), _mm256_castps_si256(mask)));
  }

  using I = __m256i;
  static constexpr std::size_t kDoubles = 4;
  static I nearestInteger(F v) { return _mm256_cvtps_epi32(v); }  // rounds to nearest
  static F toFloat(I v) { return _mm256_cvtepi32_ps(v); }
  static I splat(std::int32_t v) { return _mm256_set1_epi32(v); }
  static I subtract(I a, I b) { return _mm256_sub_epi32(a, b); }
  template <int kBits>
  static I shiftLeft(I v) { return _mm256_slli_epi32(v, kBits); }
  static void storeInt(std::int32_t* p, I v) { _mm256_store_si256(reinterpret_cast<I*>(p), v); }
  static D widen(const float* p) { return _mm256_cvtps_pd(_mm_load_ps(p)); }
  static void storeNarrow(float* p, D v) { _mm_store_ps(p, _mm256_cvtpd_ps(v)); }
  // The rows at four byte offsets into the table, transposed into one
  // vector per coefficient: rows 0 and 2 share one vector, 1 and 3 another.
  static void loadRows(const char* rows, const std::int32_t* offsets, D& c0, D& c1, D& c2, D& c3) {
    const double* row0 = reinterpret_cast<const double*>(rows + offsets[0]);
    const double* row1 = reinterpret_cast<const double*>(rows + offsets[1]);
    const double* row2 = reinterpret_cast<const double*>(rows + offsets[2]);
    const double* row3 = reinterpret_cast<const double*>(rows + offsets[3]);
    const D low02 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(row0)), _mm_load_pd(row2), 1);
    const D low13 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(row1)), _mm_load_pd(row3), 1);
    const D high02 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(row0 + 2)), _mm_load_pd(row2 + 2), 1);
    const D high13 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_load_pd(row1 + 2)), _mm_load_pd(row3 + 2), 1);
    c0 = _mm256_unpacklo_pd(low02, low13);
    c1 = _mm256_unpackhi_pd(low02, low13);
    c2 = _mm256_unpacklo_pd(high02, high13);
    c3 = _mm256_unpackhi_pd(high02, high13);
  }
};

}  // namespace

void addEventWaveAvx2(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  if (table.quartic) {
    addEventWaveWith<Avx2Ops, true>(wave, table, run);
  } else {
    addEventWaveWith<Avx2Ops, false>(wave, table, run);
  }
}

}  // namespace rillmark::detail
