// Procedural noise of the reference host: value, classic gradient, improved
// gradient and sparse-convolution noise, and turbulence sums over octaves.
// Deterministic (fixed tables, no global seed) and periodic with period 256
// along each axis. Every function returns a value in [0, 1] for any input:
// a coordinate that is not a finite number is taken as 0.
#pragma once

namespace refhost::noise {

// Noise in [0, 1].
float value(float x, float y, float z);
float classic(float x, float y, float z);
float improved(float x, float y, float z);

// Turbulence in [0, 1]; see noise.cpp for the octave rule.
float turbulenceValue(float x, float y, float z, int octaves);
float turbulenceClassic(float x, float y, float z, int octaves);
float turbulenceImproved(float x, float y, float z, int octaves);
float turbulenceSparse(float x, float y, float z, int octaves);

// Octaves beyond this add less than 2^-16 of the total and are ignored.
inline constexpr int kMaxOctaves = 16;

}  // namespace refhost::noise
