// The seeded generator behind taloma-id's gen and the browser page: xoshiro256** seeded through
// SplitMix64, Lemire's unbiased bounded draw, and a seeded permutation for numbers that must not
// repeat. All fixed here, so that a seed gives the same numbers on every platform. The caller
// brings the seed; nothing here reads a clock or the system's entropy.
#pragma once

#include <array>
#include <cstdint>

namespace rules {

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

// A permutation of [0, size) chosen by a seed, computed one value at a time: the values at
// indexes 0, 1, 2, ... never repeat, and no list of them is kept. A Feistel network over the
// smallest even number of bits that covers `size`, walked again while a value falls outside it.
class Permutation {
 public:
  Permutation(std::uint64_t size, std::uint64_t seed) noexcept : m_size(size) {
    while ((std::uint64_t{1} << (2 * m_halfBits)) < size) ++m_halfBits;
    m_mask = (std::uint64_t{1} << m_halfBits) - 1;
    for (auto& key : m_keys) key = splitMix64(seed);
  }

  // The value at `index` (below size).
  std::uint64_t operator()(std::uint64_t index) const noexcept {
    std::uint64_t value = scramble(index);
    while (value >= m_size) value = scramble(value);
    return value;
  }

 private:
  std::uint64_t scramble(std::uint64_t value) const noexcept {
    std::uint64_t left = value >> m_halfBits;
    std::uint64_t right = value & m_mask;
    for (const std::uint64_t key : m_keys) {
      std::uint64_t mixed = right ^ key;
      const std::uint64_t round = splitMix64(mixed) & m_mask;
      const std::uint64_t next = left ^ round;
      left = right;
      right = next;
    }
    return (left << m_halfBits) | right;
  }

  std::uint64_t m_size;
  int m_halfBits = 1;
  std::uint64_t m_mask = 0;
  std::array<std::uint64_t, 6> m_keys{};
};

}  // namespace rules
