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
  // A modulus and its reciprocal, so that a remainder takes two multiplications and no division.
  struct Modulus {
    std::uint64_t value = 1, reciprocal = 0;  // (2^64 - 1) / value
    std::uint64_t of(std::uint64_t y) const;
  };
  Modulus m_modU, m_modV;  // radix^u and radix^v
  unsigned m_b = 0;                      // bytes of a half in the rounds' blocks
  unsigned m_d = 0;                      // bytes of each round's output taken
  // What every round's block holds before its round and half: the CBC-MAC of P and of Q's blocks
  // before the last, and Q's last block with the round and the half at 0, added (xor) together;
  // its two halves as big-endian numbers.
  std::uint64_t m_front = 0, m_back = 0;
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
