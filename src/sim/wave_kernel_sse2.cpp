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
  static D lowHalf(F v) { return _mm_cvtps_pd(v); }
  static D highHalf(F v) { return _mm_cvtps_pd(_mm_movehl_ps(v, v)); }
  static F narrow(D low, D high) { return _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)); }

  static F bitAnd(F a, F b) { return _mm_and_ps(a, b); }
  static F notGreater(F a, F b) { return _mm_cmpngt_ps(a, b); }
  static F lessEqual(F a, F b) { return _mm_cmple_ps(a, b); }
  static F isFinite(F v) { return _mm_cmple_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), v), _mm_set1_ps(3.40282347e+38f)); }
  static F select(F mask, F a, F b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
  static bool none(F mask) { return _mm_movemask_ps(mask) == 0; }
  static F allLanes() { return _mm_castsi128_ps(_mm_set1_epi32(-1)); }
  static F firstLanes(std::size_t n) {
    return _mm_cmplt_ps(_mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f), _mm_set1_ps(static_cast<float>(n)));
  }
  // A set mask lane is -1, so subtracting the mask counts it.
  static void countLanes(std::uint32_t* counts, F mask) {
    auto* p = reinterpret_cast<__m128i*>(counts);
    _mm_storeu_si128(p, _mm_sub_epi32(_mm_loadu_si128(p), _mm_castps_si128(mask)));
  }

  using I = __m128i;
  static I nearestInteger(F v) { return _mm_cvtps_epi32(v); }  // rounds to nearest
  template <int kHalf>
  static D stepsAsDouble(I steps) {
    return _mm_cvtepi32_pd(kHalf == 0 ? steps : _mm_shuffle_epi32(steps, _MM_SHUFFLE(3, 2, 3, 2)));
  }
  template <int kHalf>
  static void loadRows(const PhaseRow* rows, I steps, D& p, D& q) {
    const PhaseRow* top = rows + PhaseTable::kHighestStep;
    const int step0 = _mm_cvtsi128_si32(_mm_srli_si128(steps, 8 * kHalf));
    const int step1 = _mm_cvtsi128_si32(_mm_srli_si128(steps, 8 * kHalf + 4));
    const D row0 = _mm_loadu_pd(&(top - step0)->p);
    const D row1 = _mm_loadu_pd(&(top - step1)->p);
    p = _mm_unpacklo_pd(row0, row1);
    q = _mm_unpackhi_pd(row0, row1);
  }
};

}  // namespace

void addEventWaveSse2(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  addEventWaveWith<Sse2Ops>(wave, table, run);
}

}  // namespace rillmark::detail
