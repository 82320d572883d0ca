// The pseudo-random generator behind Randomize and Rnd.
#pragma once

#include <bit>
#include <cstdint>
#include <random>

// Re-seeding mixes the seed into the state instead of replacing it, so seeding again with an
// unchanged clock value moves on to fresh draws rather than repeating the last ones.
class MixingRandom {
 public:
  explicit MixingRandom(std::uint64_t state) : m_state(state) {}

  static MixingRandom fromEntropy() {
    std::random_device device;
    const auto high = static_cast<std::uint64_t>(device()) << 32U;
    return MixingRandom(high | device());
  }

  void mix(float seed) {
    m_state = finalize(m_state ^ (std::bit_cast<std::uint32_t>(seed) * kGolden));
  }

  // A uniform value in [0, 1) with 53 random bits.
  double next() {
    m_state += kGolden;
    return static_cast<double>(finalize(m_state) >> 11U) * 0x1.0p-53;
  }

 private:
  static constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;

  // SplitMix64's finaliser: a bijection on 64 bits, so distinct states stay distinct.
  static constexpr std::uint64_t finalize(std::uint64_t z) {
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
  }

  std::uint64_t m_state;
};
