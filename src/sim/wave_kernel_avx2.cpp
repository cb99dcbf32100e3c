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
  static D lowHalf(F v) { return _mm256_cvtps_pd(_mm256_castps256_ps128(v)); }
  static D highHalf(F v) { return _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1)); }
  static F narrow(D low, D high) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(low)), _mm256_cvtpd_ps(high), 1);
  }

  static F bitAnd(F a, F b) { return _mm256_and_ps(a, b); }
  static F notGreater(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_NGT_UQ); }
  static F lessEqual(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LE_OQ); }
  static F isFinite(F v) {
    return _mm256_cmp_ps(_mm256_andnot_ps(_mm256_set1_ps(-0.0f), v), _mm256_set1_ps(3.40282347e+38f), _CMP_LE_OQ);
  }
  static F select(F mask, F a, F b) { return _mm256_blendv_ps(b, a, mask); }
  static bool none(F mask) { return _mm256_movemask_ps(mask) == 0; }
  static F allLanes() { return _mm256_castsi256_ps(_mm256_set1_epi32(-1)); }
  static F firstLanes(std::size_t n) {
    return _mm256_cmp_ps(_mm256_setr_ps(0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f),
                         _mm256_set1_ps(static_cast<float>(n)), _CMP_LT_OQ);
  }
  static void countLanes(std::uint32_t* counts, F mask) {
    auto* p = reinterpret_cast<__m256i*>(counts);
    _mm256_storeu_si256(p, _mm256_sub_epi32(_mm256_loadu_si256(p), _mm256_castps_si256(mask)));
  }

  using I = __m256i;
  static I nearestInteger(F v) { return _mm256_cvtps_epi32(v); }  // rounds to nearest
  template <int kHalf>
  static __m128i half(I steps) {
    return kHalf == 0 ? _mm256_castsi256_si128(steps) : _mm256_extracti128_si256(steps, 1);
  }
  template <int kHalf>
  static D stepsAsDouble(I steps) { return _mm256_cvtepi32_pd(half<kHalf>(steps)); }
  // Four row loads beat two gathers on the processors measured.
  template <int kHalf>
  static void loadRows(const PhaseRow* rows, I steps, D& p, D& q) {
    const __m128i four = half<kHalf>(steps);
    const PhaseRow* top = rows + PhaseTable::kHighestStep;
    const __m128d row0 = _mm_loadu_pd(&(top - _mm_cvtsi128_si32(four))->p);
    const __m128d row1 = _mm_loadu_pd(&(top - _mm_extract_epi32(four, 1))->p);
    const __m128d row2 = _mm_loadu_pd(&(top - _mm_extract_epi32(four, 2))->p);
    const __m128d row3 = _mm_loadu_pd(&(top - _mm_extract_epi32(four, 3))->p);
    const D rows02 = _mm256_insertf128_pd(_mm256_castpd128_pd256(row0), row2, 1);
    const D rows13 = _mm256_insertf128_pd(_mm256_castpd128_pd256(row1), row3, 1);
    p = _mm256_unpacklo_pd(rows02, rows13);
    q = _mm256_unpackhi_pd(rows02, rows13);
  }
};

}  // namespace

void addEventWaveAvx2(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  addEventWaveWith<Avx2Ops>(wave, table, run);
}

}  // namespace rillmark::detail
