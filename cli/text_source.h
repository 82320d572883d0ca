// An input read as UTF-8 text, whatever it came in: UTF-8 as it is, UTF-16 of either byte order
// (with a byte-order mark, or without one when the text plainly is: a NUL in every other byte)
// turned into UTF-8 on the way, and a word on anything else that cannot be read as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace cli {

enum class Encoding { Utf8, Utf16Le, Utf16Be };

class TextSource {
 public:
  // Fills `into` with up to `size` bytes as they stand in the input; returns how many, 0 at the
  // end, -1 on an error (errno).
  using Read = std::function<long(char* into, std::size_t size)>;
  // Told once, on the first read, of the first line (from 1) of the input's first block that
  // holds bytes that are neither UTF-8 nor UTF-16 text.
  using Undecodable = std::function<void(std::uint64_t line)>;

  TextSource(Read read, Undecodable undecodable);

  // Fills `into` with up to `size` bytes of the input as UTF-8, as Read does. UTF-16 comes out as
  // UTF-8, an unpaired surrogate as its three-byte form, so that Encoder gives back every byte.
  long read(char* into, std::size_t size);

  // The input's encoding, known from the first read on.
  Encoding encoding() const noexcept { return m_encoding; }

  // The last byte of a UTF-16 input of an odd number of bytes, which is no character; -1 for none.
  int oddByte() const noexcept { return m_oddByte; }

 private:
  long first(char* into, std::size_t size);
  long decoded(char* into, std::size_t size);
  void decode(const unsigned char* bytes, std::size_t size, bool last);

  Read m_read;
  Undecodable m_undecodable;
  Encoding m_encoding = Encoding::Utf8;
  bool m_started = false;
  bool m_ended = false;
  int m_oddByte = -1;
  std::unique_ptr<char[]> m_block;  // what a read of UTF-16 fills
  std::string m_raw;        // bytes of a UTF-16 input not yet decoded (an odd byte, a high surrogate)
  std::string m_pending;    // UTF-8 decoded and not yet handed out
  std::size_t m_handed = 0;  // of m_pending
};

// Writes UTF-8 that a TextSource made from UTF-16 back in that encoding, byte for byte as the input
// had it wherever the text is unchanged. A sequence split between two pieces waits for the rest.
class Encoder {
 public:
  // `encoding` is one of the UTF-16 ones; UTF-8 needs no encoder.
  explicit Encoder(Encoding encoding) : m_encoding(encoding) {}

  // `utf8` in the encoding, appended to `out`.
  void put(std::string_view utf8, std::string& out);

 private:
  void unit(char32_t unit, std::string& out) const;

  Encoding m_encoding;
  std::string m_carry;
};

}  // namespace cli
