// FF1 (NIST SP 800-38G, section 6.2), its rounds in batches.
#include "engine/ff1.h"

#include <bit>
#include <cstring>
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

// Eight bytes as a big-endian number, and back, a word at a time.
std::uint64_t bigEndianWord(std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(word);
  return word;
}
std::uint64_t loadBigEndian(const std::uint8_t* at) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  return bigEndianWord(word);
}
void storeBigEndian(std::uint64_t value, std::uint8_t* at) {
  const std::uint64_t word = bigEndianWord(value);
  std::memcpy(at, &word, 8);
}

// The halves stay below 2^56, so that the rounds' sums stay in 64 bits.
constexpr std::uint64_t kLargestHalf = std::uint64_t{1} << 56;

__extension__ typedef unsigned __int128 Wide;

std::uint64_t highHalf(std::uint64_t a, std::uint64_t b) {
  return static_cast<std::uint64_t>(static_cast<Wide>(a) * b >> 64);
}

// The numerals of a half, and back; in decimal the compiler divides by a constant.
template <unsigned Radix>
void putNumerals(std::uint64_t half, std::uint8_t* numerals, std::size_t count) {
  for (std::size_t i = count; i-- > 0; half /= Radix) numerals[i] = static_cast<std::uint8_t>(half % Radix);
}

}  // namespace

Ff1Domain::Ff1Domain(BlockCipher& cipher, unsigned radix, unsigned length, std::string_view tweak)
    : m_radix(radix), m_u(length / 2), m_v(length - length / 2) {
  const std::uint64_t modU = powerOf(radix, m_u), modV = powerOf(radix, m_v);
  const std::uint64_t size = powerOf(radix, length);  // 0 past 2^64
  if (radix < 2 || radix > 1u << 16 || length < 2 || modV == 0 || modV > kLargestHalf ||
      (size != 0 && size < 100)) {
    throw std::invalid_argument("FF1: no such domain");
  }
  m_modU = {modU, UINT64_MAX / modU};
  m_modV = {modV, UINT64_MAX / modV};
  // b = ceil(ceil(v * log2(radix)) / 8): the bytes of radix^v - 1; d = 4 * ceil(b / 4) + 4.
  const unsigned bits = static_cast<unsigned>(std::bit_width(modV - 1));
  m_b = (bits + 7) / 8;
  m_d = 4 * ((m_b + 3) / 4) + 4;
  // P = [1]^1 [2]^1 [1]^1 [radix]^3 [10]^1 [u mod 256]^1 [n]^4 [t]^4.
  Block p{1, 2, 1};
  putBigEndian(radix, p.data() + 3, 3);
  p[6] = 10;
  p[7] = static_cast<std::uint8_t>(m_u);
  putBigEndian(length, p.data() + 8, 4);
  putBigEndian(tweak.size(), p.data() + 12, 4);
  Block state;
  cipher.encrypt(p.data(), state.data(), 1);
  // Q = T [0]^((-t-b-1) mod 16) [i]^1 [NUM(B)]^b: every block but the last is the same in each
  // round, and the last holds the tweak's end, the round and the half.
  const std::size_t t = tweak.size();
  const std::size_t total = t + (16 - (t + m_b + 1) % 16) % 16 + 1 + m_b;
  std::vector<std::uint8_t> q(total, 0);
  for (std::size_t i = 0; i < t; ++i) q[i] = static_cast<std::uint8_t>(tweak[i]);
  for (std::size_t at = 0; at + 16 < total; at += 16) {
    for (std::size_t i = 0; i < 16; ++i) state[i] ^= q[at + i];
    cipher.encrypt(state.data(), state.data(), 1);
  }
  const std::uint8_t* last = q.data() + total - 16;
  m_front = loadBigEndian(state.data()) ^ loadBigEndian(last);
  m_back = loadBigEndian(state.data() + 8) ^ loadBigEndian(last + 8);
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
  if (m_radix == 10) {
    putNumerals<10>(halves.a, numerals.data(), m_u);
    putNumerals<10>(halves.b, numerals.data() + m_u, m_v);
    return;
  }
  Halves rest = halves;
  for (std::size_t i = numerals.size(); i-- > 0;) {
    std::uint64_t& half = i < m_u ? rest.a : rest.b;
    numerals[i] = static_cast<std::uint8_t>(half % m_radix);
    half /= m_radix;
  }
}

// q = y * reciprocal / 2^64 falls short of y / value by less than 2, so the remainder is below
// three times the modulus.
std::uint64_t Ff1Domain::Modulus::of(std::uint64_t y) const {
  std::uint64_t rest = y - highHalf(y, reciprocal) * value;
  while (rest >= value) rest -= value;
  return rest;
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
      // The half fills the last b bytes (b <= 7 for halves below 2^56), the round the one before.
      const std::uint64_t back = domain.m_back ^ std::uint64_t{round} << (8 * domain.m_b) ^ (decrypt ? h.a : h.b);
      storeBigEndian(domain.m_front, m_blocks[j].data());
      storeBigEndian(back, m_blocks[j].data() + 8);
    }
    cipher.encrypt(m_blocks[0].data(), m_blocks[0].data(), m_blocks.size());
    for (std::size_t j = 0; j < m_jobs.size(); ++j) {
      const Ff1Domain& domain = *m_jobs[j].domain;
      Ff1Domain::Halves& h = m_jobs[j].halves;
      // y = NUM(S), S the first d bytes of R, taken mod radix^m: eight bytes at once, or (d = 12)
      // a byte at a time, which stays below 2^64 as the modulus is below 2^56.
      const Ff1Domain::Modulus& mod = round % 2 == 0 ? domain.m_modU : domain.m_modV;
      const std::uint64_t modulus = mod.value;
      std::uint64_t part = 0;
      if (domain.m_d == 8) {
        part = mod.of(loadBigEndian(m_blocks[j].data()));
      } else {
        for (unsigned i = 0; i < domain.m_d; ++i) part = mod.of(part << 8 | m_blocks[j][i]);
      }
      if (!decrypt) {
        std::uint64_t c = h.a + part;
        if (c >= modulus) c -= modulus;
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
