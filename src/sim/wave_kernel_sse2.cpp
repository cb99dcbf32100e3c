// The wave kernel on four lanes of SSE2: every x86 processor Rillmark.tsx
// runs on has it, so this is the path that always works.
#include <emmintrin.h>

#include "sim/wave_kernel_body.h"

namespace rillmark::detail {
namespace {

struct Sse2Ops {
  using F = __m128;
  using D = __m128d;
  static constexpr std::size_t kLanes = 4;

  static F splat(float v) { return _mm_set1_ps(v); }
  static D splat(double v) { return _mm_set1_pd(v); }
  static F load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, F v) { _mm_storeu_ps(p, v); }
  static F sqrt(F v) { return _mm_sqrt_ps(v); }
  static F min(F a, F b) { return _mm_min_ps(a, b); }
  static F max(F a, F b) { return _mm_max_ps(a, b); }  // b where a is NaN

  // Masks are vectors with every bit of a lane set or clear.
  using M = F;
  static M both(M a, M b) { return _mm_and_ps(a, b); }
  static F only(M mask, F v) { return _mm_and_ps(mask, v); }  // 0 outside the mask
  static M notGreater(F a, F b) { return _mm_cmpngt_ps(a, b); }
  static M lessEqual(F a, F b) { return _mm_cmple_ps(a, b); }
  static M isFinite(F v) { return _mm_cmple_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), v), _mm_set1_ps(3.40282347e+38f)); }
  static F select(M mask, F a, F b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
  static bool none(M mask) { return _mm_movemask_ps(mask) == 0; }
  static M firstLanes(std::size_t n) {
    return _mm_cmplt_ps(_mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f), _mm_set1_ps(static_cast<float>(n)));
  }
  // A set mask lane is -1, so subtracting the mask counts it.
  static void countLanes(std::uint32_t* counts, M mask) {
    auto* p = reinterpret_cast<__m128i*>(counts);
    _mm_storeu_si128(p, _mm_sub_epi32(_mm_loadu_si128(p), _mm_castps_si128(mask)));
  }

  using I = __m128i;
  static constexpr std::size_t kDoubles = 2;
  static I nearestInteger(F v) { return _mm_cvtps_epi32(v); }  // rounds to nearest
  static F toFloat(I v) { return _mm_cvtepi32_ps(v); }
  static I splat(std::int32_t v) { return _mm_set1_epi32(v); }
  static I subtract(I a, I b) { return _mm_sub_epi32(a, b); }
  template <int kBits>
  static I shiftLeft(I v) { return _mm_slli_epi32(v, kBits); }
  static void storeInt(std::int32_t* p, I v) { _mm_store_si128(reinterpret_cast<I*>(p), v); }
  static D widen(const float* p) { return _mm_cvtps_pd(_mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(p)))); }
  static void storeNarrow(float* p, D v) { _mm_storel_pi(reinterpret_cast<__m64*>(p), _mm_cvtpd_ps(v)); }
  // The rows at two byte offsets into the table, coefficient by coefficient.
  static void loadRows(const char* rows, const std::int32_t* offsets, D& c0, D& c1, D& c2, D& c3) {
    const auto* row0 = reinterpret_cast<const double*>(rows + offsets[0]);
    const auto* row1 = reinterpret_cast<const double*>(rows + offsets[1]);
    const D low0 = _mm_load_pd(row0), high0 = _mm_load_pd(row0 + 2);
    const D low1 = _mm_load_pd(row1), high1 = _mm_load_pd(row1 + 2);
    c0 = _mm_unpacklo_pd(low0, low1);
    c1 = _mm_unpackhi_pd(low0, low1);
    c2 = _mm_unpacklo_pd(high0, high1);
    c3 = _mm_unpackhi_pd(high0, high1);
  }
};

}  // namespace

void addEventWaveSse2(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  if (table.quartic) {
    addEventWaveWith<Sse2Ops, true>(wave, table, run);
  } else {
    addEventWaveWith<Sse2Ops, false>(wave, table, run);
  }
}

}  // namespace rillmark::detail
