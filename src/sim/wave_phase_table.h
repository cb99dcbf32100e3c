// The per-Decay table of the wave synthesis kernel. The wave of an event
// at phase F (Decay D) is cos(F) e^(D F) times a per-event amplitude. The
// kernel takes the step b = float(j) x kStep nearest F (j = F 256/pi,
// rounded) and the remainder t = F - b, which float arithmetic gives
// exactly, and sums the Taylor polynomial about b from row j:
//   cos(F) e^(D F) = c0 + t (c1 + t (c2 + t c3)),
//   c_n = Re(e^((D + i) b) (D + i)^n) / n!,
// a cubic up to kCubicDecay, beyond it with the quartic term
//   c4 = (D/2) c3 - ((1 + D^2)/12) c2,
// which follows from cos(x) e^(D x) solving f'' = 2D f' - (1 + D^2) f.
//
// Accuracy, relative to the term (a float unit is 2^-24 of it or more):
//  - The Taylor remainder is within |D + i|^(n+1) |t|^(n+1) / (n+1)! of
//    e^(D F), degree n, with |t| <= pi/512 plus a few float units of b.
//    Away from the zeros of the cosine, |cos F| >= sin(pi/512), so the
//    remainder is below 0.17 units at Decay 0.1 and 0.65 units at Decay 1
//    (cubic), and below 0.06 units at Decay 3 (quartic).
//  - Near a zero of the cosine the term shrinks with the distance d of F
//    from the zero, and the polynomial along with it: the step there is the
//    zero itself but for b's rounding, e = |a - b| <= 2e-4 (a = j pi/256),
//    so the remainder is about e^(n+1) and stays below 1e-9 of the term
//    for every float F whose term is a normal float (the closest float to
//    a zero of the table's range is F = -252.898..., d = 4.2e-9).
//  - The rows are rounded to double and summed in double: errors of about
//    1e-16 of |c0| + |c1 t|, which near a zero exceeds the term by the
//    factor 2e / d < 1e5 at most.
// Rounding the double result to float adds half a unit; 2 units is the
// limit (tests/sim/wave_kernel_test.cpp sweeps phases and Decays).
#pragma once

#include <cstdint>
#include <vector>

namespace rillmark {

struct alignas(32) PhaseRow {
  double c[4];
};

class PhaseTable {
 public:
  // Inside the wave F <= 2, and 2 rad lies at step 163.
  static constexpr std::int32_t kHighestStep = 164;
  // About -1608 rad: a phase lower than that takes the exact path.
  static constexpr std::int32_t kLowestStep = -131072;
  static constexpr double kStepsPerRadian = 81.48733086305042;  // 256 / pi
  // The step b of row j is float(j) x kStep, rounded in float.
  static constexpr float kStep = 0x1.921fb6p-7f;  // pi / 256
  // The cubic serves Decays up to kCubicDecay, the quartic up to kMaxDecay;
  // a higher Decay (waves that die within a radian) takes the exact path.
  static constexpr float kCubicDecay = 1.0f;
  static constexpr float kMaxDecay = 3.0f;

  // Sets the Decay the rows are built for; a new value drops the rows built
  // so far (keeping their memory). False for a Decay the table cannot
  // serve: negative, above kMaxDecay or not a number.
  bool setDecay(float decay);

  // Builds the rows down to the step of `phase` and at least to the step
  // of 2; false if the phase lies below the lowest step.
  bool reaches(double phase);

  // Row of step j at index kHighestStep - j.
  const PhaseRow* rows() const { return rows_.data(); }
  // Whether the kernel adds the quartic term, and its weights:
  // c4 = quartic[0] c3 - quartic[1] c2.
  bool quartic() const { return decay_ > kCubicDecay; }
  const double* quarticWeights() const { return quarticWeights_; }

 private:
  std::vector<PhaseRow> rows_;
  std::uint32_t decayBits_ = 0;
  bool haveDecay_ = false;
  bool decayServed_ = false;
  double decay_ = 0.0;
  double quarticWeights_[2] = {0.0, 0.0};
};

}  // namespace rillmark
