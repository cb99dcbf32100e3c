// All noise is computed in double from coordinates reduced to a lattice
// cell index modulo 256 and a fraction in [0, 1), so huge coordinates cost
// no precision in the integer part and never overflow an integer.
//
// Lattice hash: h(i, j, k) = P[P[P[i] + j] + k] with P a fixed permutation
// of 0..255 (repeated to 512 entries), i, j, k the cell corner modulo 256.
// fade3(t) = 3t^2 - 2t^3 (cubic), fade5(t) = 6t^5 - 15t^4 + 10t^3 (quintic).
#include "refhost/noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace refhost::noise {

namespace {

constexpr std::uint32_t mix(std::uint32_t v) {
  v ^= v >> 16;
  v *= 0x7feb352dU;
  v ^= v >> 15;
  v *= 0x846ca68bU;
  v ^= v >> 16;
  return v;
}

// A Fisher-Yates shuffle of 0..255 driven by mix(), fixed at compile time.
constexpr std::array<int, 512> makePermutation() {
  std::array<int, 256> p{};
  for (int i = 0; i < 256; ++i) p[i] = i;
  for (int i = 255; i > 0; --i) {
    const int j = static_cast<int>(mix(0x9e3779b9U + static_cast<std::uint32_t>(i)) % (i + 1));
    std::swap(p[i], p[j]);
  }
  std::array<int, 512> doubled{};
  for (int i = 0; i < 512; ++i) doubled[i] = p[i & 255];
  return doubled;
}

constexpr std::array<int, 512> kPerm = makePermutation();

int hash(int i, int j, int k) { return kPerm[kPerm[kPerm[i] + j] + k]; }

struct Cell {
  int i[3];       // cell corner modulo 256
  double f[3];    // position inside the cell, [0, 1)
};

double sane(double v) { return std::isfinite(v) ? v : 0.0; }

Cell locate(double x, double y, double z) {
  Cell c{};
  const double p[3] = {sane(x), sane(y), sane(z)};
  for (int a = 0; a < 3; ++a) {
    const double fl = std::floor(p[a]);
    c.f[a] = std::clamp(p[a] - fl, 0.0, 1.0);
    double wrapped = std::fmod(fl, 256.0);
    if (wrapped < 0) wrapped += 256.0;
    c.i[a] = static_cast<int>(wrapped) & 255;
  }
  return c;
}

double lerp(double t, double a, double b) { return a + t * (b - a); }
double fade3(double t) { return t * t * (3.0 - 2.0 * t); }
double fade5(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

// Trilinear blend of a corner function over the cell with the given fade.
template <class Corner>
double blend(const Cell& c, double (*fade)(double), Corner corner) {
  const double u = fade(c.f[0]), v = fade(c.f[1]), w = fade(c.f[2]);
  double x[2][2];
  for (int dz = 0; dz < 2; ++dz) {
    for (int dy = 0; dy < 2; ++dy) {
      x[dy][dz] = lerp(u, corner(0, dy, dz), corner(1, dy, dz));
    }
  }
  return lerp(w, lerp(v, x[0][0], x[1][0]), lerp(v, x[0][1], x[1][1]));
}

int cornerHash(const Cell& c, int dx, int dy, int dz) {
  return hash((c.i[0] + dx) & 255, (c.i[1] + dy) & 255, (c.i[2] + dz) & 255);
}

// Value noise: each lattice point holds h / 255 in [0, 1]; the cubic-faded
// trilinear blend of the eight corners is a convex combination, so [0, 1].
double value01(double x, double y, double z) {
  const Cell c = locate(x, y, z);
  return blend(c, fade3, [&](int dx, int dy, int dz) { return cornerHash(c, dx, dy, dz) / 255.0; });
}

// Unit gradients for classic noise: 256 directions from mix(), rejected
// outside the unit ball, normalised. Built once.
const std::array<std::array<double, 3>, 256>& classicGradients() {
  static const auto table = [] {
    std::array<std::array<double, 3>, 256> g{};
    std::uint32_t state = 12345;
    for (auto& v : g) {
      for (;;) {
        double d[3];
        for (double& component : d) {
          state = mix(state + 0x9e3779b9U);
          component = state / 2147483648.0 - 1.0;
        }
        const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (len > 1e-3 && len <= 1.0) {
          v = {d[0] / len, d[1] / len, d[2] / len};
          break;
        }
      }
    }
    return g;
  }();
  return table;
}

// Classic gradient noise (the 1985 form): n = blend with fade3 of
// g(h) . (f - corner) with g a unit gradient. |n| stays well below 1
// (about 0.7 in practice); the result is clamped to [-1, 1] all the same.
double classicSigned(double x, double y, double z) {
  const Cell c = locate(x, y, z);
  const auto& g = classicGradients();
  const double n = blend(c, fade3, [&](int dx, int dy, int dz) {
    const auto& grad = g[static_cast<std::size_t>(cornerHash(c, dx, dy, dz))];
    return grad[0] * (c.f[0] - dx) + grad[1] * (c.f[1] - dy) + grad[2] * (c.f[2] - dz);
  });
  return std::clamp(n, -1.0, 1.0);
}

// Improved gradient noise (the 2002 form): gradients are the twelve cube
// edge directions picked by h & 15 (four repeated), blend with fade5.
double improvedGrad(int h, double x, double y, double z) {
  const int low = h & 15;
  const double u = low < 8 ? x : y;
  const double v = low < 4 ? y : (low == 12 || low == 14 ? x : z);
  return ((low & 1) ? -u : u) + ((low & 2) ? -v : v);
}

double improvedSigned(double x, double y, double z) {
  const Cell c = locate(x, y, z);
  const double n = blend(c, fade5, [&](int dx, int dy, int dz) {
    return improvedGrad(cornerHash(c, dx, dy, dz), c.f[0] - dx, c.f[1] - dy, c.f[2] - dz);
  });
  return std::clamp(n, -1.0, 1.0);
}

double valueSigned(double x, double y, double z) { return 2.0 * value01(x, y, z) - 1.0; }

// Sparse convolution noise: each lattice cell holds three impulses at
// positions and with weights w in [-1, 1] drawn from mix() of the cell
// index; n = 0.5 * sum over the 27 cells around the point of
// w * K(d), K(d) = (1 - d^2)^2 for distance d < 1, else 0, clamped to
// [-1, 1]. The factor 0.5 keeps about two standard deviations inside.
double sparseSigned(double x, double y, double z) {
  constexpr int kImpulsesPerCell = 3;
  const Cell c = locate(x, y, z);
  double sum = 0.0;
  for (int dz = -1; dz <= 1; ++dz) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        std::uint32_t state = static_cast<std::uint32_t>(cornerHash(c, dx & 255, dy & 255, dz & 255));
        state = mix(state * 2654435761U + static_cast<std::uint32_t>((c.i[0] + dx) & 255) * 73856093U +
                    static_cast<std::uint32_t>((c.i[1] + dy) & 255) * 19349663U +
                    static_cast<std::uint32_t>((c.i[2] + dz) & 255) * 83492791U);
        for (int k = 0; k < kImpulsesPerCell; ++k) {
          double r[4];
          for (double& value : r) {
            state = mix(state + 0x9e3779b9U);
            value = state / 4294967296.0;
          }
          const double px = dx + r[0] - c.f[0];
          const double py = dy + r[1] - c.f[1];
          const double pz = dz + r[2] - c.f[2];
          const double d2 = px * px + py * py + pz * pz;
          if (d2 < 1.0) {
            const double k1 = 1.0 - d2;
            sum += (2.0 * r[3] - 1.0) * k1 * k1;
          }
        }
      }
    }
  }
  return std::clamp(0.5 * sum, -1.0, 1.0);
}

// Turbulence over O octaves of a signed noise s in [-1, 1]:
//   T(p) = sum_{i<O} |s(2^i p)| / 2^i  /  sum_{i<O} 1 / 2^i,
// so T is in [0, 1]. O below 1 counts as 1, O above kMaxOctaves as
// kMaxOctaves (the cap also bounds the time of a call).
float turbulence(double (*signedNoise)(double, double, double), float x, float y, float z, int octaves) {
  const int count = std::clamp(octaves, 1, kMaxOctaves);
  const double px = sane(x), py = sane(y), pz = sane(z);
  double sum = 0.0, weight = 0.0, scale = 1.0;
  for (int i = 0; i < count; ++i) {
    const double amplitude = 1.0 / scale;
    sum += amplitude * std::fabs(signedNoise(px * scale, py * scale, pz * scale));
    weight += amplitude;
    scale *= 2.0;
  }
  return static_cast<float>(std::clamp(sum / weight, 0.0, 1.0));
}

float to01(double s) { return static_cast<float>(std::clamp(0.5 * (s + 1.0), 0.0, 1.0)); }

}  // namespace

float value(float x, float y, float z) { return static_cast<float>(std::clamp(value01(x, y, z), 0.0, 1.0)); }
float classic(float x, float y, float z) { return to01(classicSigned(x, y, z)); }
float improved(float x, float y, float z) { return to01(improvedSigned(x, y, z)); }

float turbulenceValue(float x, float y, float z, int octaves) { return turbulence(valueSigned, x, y, z, octaves); }
float turbulenceClassic(float x, float y, float z, int octaves) {
  return turbulence(classicSigned, x, y, z, octaves);
}
float turbulenceImproved(float x, float y, float z, int octaves) {
  return turbulence(improvedSigned, x, y, z, octaves);
}
float turbulenceSparse(float x, float y, float z, int octaves) { return turbulence(sparseSigned, x, y, z, octaves); }

}  // namespace refhost::noise
