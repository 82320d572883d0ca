// FF1, the format-preserving cipher of NIST SP 800-38G, over a block cipher that the platform
// gives (engine/aes.h): the pseudonyms' cipher. A number's numerals are enciphered in ten Feistel
// rounds, each one AES block over what the rounds of a domain share (its CBC-MAC so far) and the
// round's last block; the rounds of many numbers go through the cipher together.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace engine {

using Block = std::array<std::uint8_t, 16>;

// A block cipher in ECB: each 16-byte block of `in` enciphered into `out` (which may be `in`).
class BlockCipher {
 public:
  virtual ~BlockCipher() = default;
  virtual void encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) = 0;
};

// One domain of FF1: a radix, a length of numeral string and a tweak, with what every string's
// rounds share worked out once. Each half of a string must be below 2^56 as a number (radix to the
// power ceil(length / 2)), and the domain at least 100 strings; std::invalid_argument otherwise.
class Ff1Domain {
 public:
  Ff1Domain(BlockCipher& cipher, unsigned radix, unsigned length, std::string_view tweak);

  unsigned radix() const { return m_radix; }
  unsigned length() const { return m_u + m_v; }

  // The first half (u numerals) and the second (v numerals), as numbers.
  struct Halves {
    std::uint64_t a = 0, b = 0;
  };
  Halves split(std::span<const std::uint8_t> numerals) const;
  void join(const Halves& halves, std::span<std::uint8_t> numerals) const;

 private:
  friend class Ff1Batch;
  unsigned m_radix, m_u, m_v;
  std::uint64_t m_modU = 1, m_modV = 1;  // radix^u and radix^v
  unsigned m_b = 0;                      // bytes of a half in the rounds' blocks
  unsigned m_d = 0;                      // bytes of each round's output taken
  Block m_state{};                       // the CBC-MAC of P and the blocks of Q before its last
  Block m_last{};                        // Q's last block, the round and the half left at 0
};

// The strings of a batch, enciphered or deciphered together: ten rounds, each one call of the
// cipher over a block a string.
class Ff1Batch {
 public:
  void add(const Ff1Domain& domain, const Ff1Domain::Halves& halves) { m_jobs.push_back({&domain, halves}); }
  std::size_t size() const { return m_jobs.size(); }
  // The numerals of the i-th string after run().
  void result(std::size_t i, std::span<std::uint8_t> numerals) const {
    m_jobs[i].domain->join(m_jobs[i].halves, numerals);
  }
  void clear() { m_jobs.clear(); }

  void run(BlockCipher& cipher, bool decrypt);

 private:
  struct Job {
    const Ff1Domain* domain;
    Ff1Domain::Halves halves;
  };
  std::vector<Job> m_jobs;
  std::vector<Block> m_blocks;
};

// One string, enciphered or deciphered on its own.
std::vector<std::uint8_t> Ff1(BlockCipher& cipher, unsigned radix, std::string_view tweak,
                              std::span<const std::uint8_t> numerals, bool decrypt);

}  // namespace engine
