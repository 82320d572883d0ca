// The generator behind `gen`: xoshiro256** seeded through SplitMix64, and Lemire's unbiased
// bounded draw. Both are fixed here so that a seed gives the same numbers on every platform.
#pragma once

#include <array>
#include <cstdint>

namespace cli {

__extension__ typedef unsigned __int128 Wide;  // GCC and clang have it; ISO C++ has no 128-bit type

// SplitMix64: each call adds the golden-ratio constant to the state and mixes the result.
constexpr std::uint64_t splitMix64(std::uint64_t& state) noexcept {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

class Xoshiro256StarStar {
 public:
  // The state is four successive SplitMix64 outputs from `seed`, as the authors of xoshiro advise.
  constexpr explicit Xoshiro256StarStar(std::uint64_t seed) noexcept {
    for (auto& word : m_state) word = splitMix64(seed);
  }

  constexpr std::uint64_t next() noexcept {
    const std::uint64_t result = rotl(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = rotl(m_state[3], 45);
    return result;
  }

  // A value in [0, bound), every value equally likely (bound > 0): the high half of the 128-bit
  // product of a draw and the bound, drawing again while the low half falls below 2^64 mod bound.
  std::uint64_t below(std::uint64_t bound) noexcept {
    Wide product = static_cast<Wide>(next()) * bound;
    auto low = static_cast<std::uint64_t>(product);
    if (low < bound) {
      const std::uint64_t threshold = (0 - bound) % bound;
      while (low < threshold) {
        product = static_cast<Wide>(next()) * bound;
        low = static_cast<std::uint64_t>(product);
      }
    }
    return static_cast<std::uint64_t>(product >> 64);
  }

 private:
  static constexpr std::uint64_t rotl(std::uint64_t x, int k) noexcept {
    return (x << k) | (x >> (64 - k));
  }

  std::array<std::uint64_t, 4> m_state{};
};

}  // namespace cli
