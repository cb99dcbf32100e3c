// The per-pass table of the wave synthesis kernel. The wave of an event at
// phase F (Decay D) is cos(F) e^(D F) times a per-event amplitude; the
// kernel splits F into a step a = j pi/64 and a remainder y, |y| <= pi/128,
// and takes e^(D a) cos a and e^(D a) sin a from this table, so only short
// series in y are left per vertex.
#pragma once

#include <cstdint>
#include <vector>

namespace rillmark {

struct PhaseRow {
  double p;  // e^(D a) cos a
  double q;  // e^(D a) sin a
};

class PhaseTable {
 public:
  // Inside the wave F <= 2, and 2 rad lies at step 40.7.
  static constexpr std::int32_t kHighestStep = 41;
  // About -1608 rad: a phase lower than that takes the exact scalar path.
  static constexpr std::int32_t kLowestStep = -32768;
  static constexpr double kStepsPerRadian = 20.371832715762604;  // 64 / pi

  // Sets the Decay the rows are built for; a new value drops the rows built
  // so far. Returns false for a Decay the kernel's series cannot serve
  // (negative, above kMaxDecay or not a number): use the exact path then.
  bool setDecay(float decay);
  static constexpr float kMaxDecay = 300.0f;  // e^(2 D) stays far from overflow

  // True once rows reach down to the step of phase F (F <= 2). Builds the
  // missing rows; false if F lies below the lowest step.
  bool reaches(double phase);

  // Row of step j at index kHighestStep - j.
  const PhaseRow* rows() const { return rows_.data(); }
  // e^(D y) is summed for D / 2^squarings and then squared that often, so
  // the series stays short for any Decay.
  double reducedDecay() const { return reducedDecay_; }
  int squarings() const { return squarings_; }

 private:
  void buildDownTo(std::int32_t step);

  std::vector<PhaseRow> rows_;
  std::uint32_t decayBits_ = 0;
  bool haveDecay_ = false;
  double decay_ = 0.0;
  double reducedDecay_ = 0.0;
  int squarings_ = 0;
};

}  // namespace rillmark
