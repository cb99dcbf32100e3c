// The per-pass table of the wave synthesis kernel. The wave of an event at
// phase F (Decay D) is cos(F) e^(D F) = Re e^((D + i) F) times a per-event
// amplitude. The kernel splits F into a step a = j pi/256 and a remainder
// y, |y| <= pi/512, and multiplies e^((D + i) a) = P + iQ from this table
// by e^((D + i) y) = U + iV, summed as a short series whose coefficients
// depend on D only:
//   cos(F) e^(D F) = P U - Q V.
#pragma once

#include <cstdint>
#include <vector>

namespace rillmark {

struct PhaseRow {
  double p;  // e^(D a) cos a
  double q;  // e^(D a) sin a
};

// U = sum u[n] y^n, V = sum v[n] y^n, n = 0 to 4: the real and imaginary
// parts of (D + i)^n / n!.
struct PhaseSeries {
  double u[5];
  double v[5];
};

class PhaseTable {
 public:
  // Inside the wave F <= 2, and 2 rad lies at step 163.
  static constexpr std::int32_t kHighestStep = 164;
  // About -1608 rad: a phase lower than that takes the exact path.
  static constexpr std::int32_t kLowestStep = -131072;
  static constexpr double kStepsPerRadian = 81.48733086305042;  // 256 / pi
  // Up to this Decay the series to y^4 is exact to a few 1e-9; a higher
  // one (waves that die within a radian) takes the exact path.
  static constexpr float kMaxDecay = 3.0f;

  // Sets the Decay the rows are built for; a new value drops the rows built
  // so far (keeping their memory). False for a Decay the series cannot
  // serve: negative, above kMaxDecay or not a number.
  bool setDecay(float decay);

  // Builds the rows down to the step of `phase` (at most 2); false if the
  // phase lies below the lowest step.
  bool reaches(double phase);

  // Row of step j at index kHighestStep - j.
  const PhaseRow* rows() const { return rows_.data(); }
  const PhaseSeries& series() const { return series_; }

 private:
  std::vector<PhaseRow> rows_;
  PhaseSeries series_{};
  std::uint32_t decayBits_ = 0;
  bool haveDecay_ = false;
  bool decayServed_ = false;
  double decay_ = 0.0;
};

}  // namespace rillmark
