// FF1 (NIST SP 800-38G, section 6.2), its rounds in batches.
#include "engine/ff1.h"

#include <bit>
#include <stdexcept>

namespace engine {
namespace {

// radix^count, or 0 when it reaches 2^64.
std::uint64_t powerOf(unsigned radix, unsigned count) {
  std::uint64_t power = 1;
  for (unsigned i = 0; i < count; ++i) {
    if (power > UINT64_MAX / radix) return 0;
    power *= radix;
  }
  return power;
}

void putBigEndian(std::uint64_t value, std::uint8_t* at, unsigned bytes) {
  for (unsigned i = bytes; i-- > 0; value >>= 8) at[i] = static_cast<std::uint8_t>(value);
}

// The halves stay below 2^56, so that the rounds' sums stay in 64 bits.
constexpr std::uint64_t kLargestHalf = std::uint64_t{1} << 56;

}  // namespace

Ff1Domain::Ff1Domain(BlockCipher& cipher, unsigned radix, unsigned length, std::string_view tweak)
    : m_radix(radix), m_u(length / 2), m_v(length - length / 2) {
  m_modU = powerOf(radix, m_u);
  m_modV = powerOf(radix, m_v);
  const std::uint64_t size = powerOf(radix, length);  // 0 past 2^64
  if (radix < 2 || radix > 1u << 16 || length < 2 || m_modV == 0 || m_modV > kLargestHalf ||
      (size != 0 && size < 100)) {
    throw std::invalid_argument("FF1: no such domain");
  }
  // b = ceil(ceil(v * log2(radix)) / 8): the bytes of radix^v - 1; d = 4 * ceil(b / 4) + 4.
  const unsigned bits = static_cast<unsigned>(std::bit_width(m_modV - 1));
  m_b = (bits + 7) / 8;
  m_d = 4 * ((m_b + 3) / 4) + 4;
  // P = [1]^1 [2]^1 [1]^1 [radix]^3 [10]^1 [u mod 256]^1 [n]^4 [t]^4.
  Block p{1, 2, 1};
  putBigEndian(radix, p.data() + 3, 3);
  p[6] = 10;
  p[7] = static_cast<std::uint8_t>(m_u);
  putBigEndian(length, p.data() + 8, 4);
  putBigEndian(tweak.size(), p.data() + 12, 4);
  cipher.encrypt(p.data(), m_state.data(), 1);
  // Q = T [0]^((-t-b-1) mod 16) [i]^1 [NUM(B)]^b: every block but the last is the same in each
  // round, and the last holds the tweak's end, the round and the half.
  const std::size_t t = tweak.size();
  const std::size_t total = t + (16 - (t + m_b + 1) % 16) % 16 + 1 + m_b;
  std::vector<std::uint8_t> q(total, 0);
  for (std::size_t i = 0; i < t; ++i) q[i] = static_cast<std::uint8_t>(tweak[i]);
  for (std::size_t at = 0; at + 16 < total; at += 16) {
    for (std::size_t i = 0; i < 16; ++i) m_state[i] ^= q[at + i];
    cipher.encrypt(m_state.data(), m_state.data(), 1);
  }
  std::copy(q.end() - 16, q.end(), m_last.begin());
}

Ff1Domain::Halves Ff1Domain::split(std::span<const std::uint8_t> numerals) const {
  Halves halves;
  for (std::size_t i = 0; i < numerals.size(); ++i) {
    std::uint64_t& half = i < m_u ? halves.a : halves.b;
    half = half * m_radix + numerals[i];
  }
  return halves;
}

void Ff1Domain::join(const Halves& halves, std::span<std::uint8_t> numerals) const {
  Halves rest = halves;
  for (std::size_t i = numerals.size(); i-- > 0;) {
    std::uint64_t& half = i < m_u ? rest.a : rest.b;
    numerals[i] = static_cast<std::uint8_t>(half % m_radix);
    half /= m_radix;
  }
}

void Ff1Batch::run(BlockCipher& cipher, bool decrypt) {
  m_blocks.resize(m_jobs.size());
  for (unsigned step = 0; step < 10; ++step) {
    const unsigned round = decrypt ? 9 - step : step;
    // The round's block of each string: the domain's state and Q's last block, which ends with
    // the round and the half that goes in (B enciphering, A deciphering).
    for (std::size_t j = 0; j < m_jobs.size(); ++j) {
      const Ff1Domain& domain = *m_jobs[j].domain;
      const Ff1Domain::Halves& h = m_jobs[j].halves;
      Block last = domain.m_last;
      last[15 - domain.m_b] = static_cast<std::uint8_t>(round);
      putBigEndian(decrypt ? h.a : h.b, last.data() + 16 - domain.m_b, domain.m_b);
      for (std::size_t i = 0; i < 16; ++i) m_blocks[j][i] = domain.m_state[i] ^ last[i];
    }
    cipher.encrypt(m_blocks[0].data(), m_blocks[0].data(), m_blocks.size());
    for (std::size_t j = 0; j < m_jobs.size(); ++j) {
      const Ff1Domain& domain = *m_jobs[j].domain;
      Ff1Domain::Halves& h = m_jobs[j].halves;
      // y = NUM(S), S the first d bytes of R (d <= 12 for halves below 2^56), taken mod radix^m
      // a byte at a time: below 2^56, times 256 stays below 2^64.
      const std::uint64_t modulus = round % 2 == 0 ? domain.m_modU : domain.m_modV;
      std::uint64_t part = 0;
      for (unsigned i = 0; i < domain.m_d; ++i) part = (part << 8 | m_blocks[j][i]) % modulus;
      if (!decrypt) {
        const std::uint64_t c = (h.a + part) % modulus;
        h = {h.b, c};
      } else {
        const std::uint64_t c = h.b >= part ? h.b - part : modulus - (part - h.b);
        h = {c, h.a};
      }
    }
  }
}

std::vector<std::uint8_t> Ff1(BlockCipher& cipher, unsigned radix, std::string_view tweak,
                              std::span<const std::uint8_t> numerals, bool decrypt) {
  const Ff1Domain domain(cipher, radix, static_cast<unsigned>(numerals.size()), tweak);
  Ff1Batch batch;
  batch.add(domain, domain.split(numerals));
  batch.run(cipher, decrypt);
  std::vector<std::uint8_t> out(numerals.size());
  batch.result(0, out);
  return out;
}

}  // namespace engine
