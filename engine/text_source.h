// An input read as UTF-8 text, whatever it came in: UTF-8 as it is, UTF-16 of either byte order
// (with a byte-order mark, or without one when the text plainly is: a NUL in every other byte)
// and Big5 (when the first block that is not plain ASCII reads as Big5 and not as UTF-8) turned
// into UTF-8 on the way, and a word on anything else that cannot be read as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

enum class Encoding { Utf8, Utf16Le, Utf16Be, Big5 };

// What the reader tells of an input, once each: the first line (from 1) of its first block that
// holds bytes that are none of these encodings' text; and that it was taken for Big5.
struct ReadingNotes {
  std::function<void(std::uint64_t line)> undecodable;
  std::function<void()> big5;
};

class TextSource {
 public:
  // Fills `into` with up to `size` bytes as they stand in the input; returns how many, 0 at the
  // end, -1 on an error (errno).
  using Read = std::function<long(char* into, std::size_t size)>;
  // `given` reads the input in that encoding, without looking.
  TextSource(Read read, ReadingNotes notes, std::optional<Encoding> given = {});

  // Fills `into` with up to `size` bytes of the input as UTF-8, as Read does. UTF-16 comes out as
  // UTF-8, an unpaired surrogate as its three-byte form, and Big5 with the bytes that have no
  // character as their stand-ins (cli/big5.h), so that Encoder gives back every byte.
  long read(char* into, std::size_t size);

  // The input's encoding as known so far: UTF-8 until a block shows otherwise.
  Encoding encoding() const noexcept { return m_encoding; }

  // The last byte of a UTF-16 input of an odd number of bytes, which is no character; -1 for none.
  int oddByte() const noexcept { return m_oddByte; }

 private:
  long first(char* into, std::size_t size);
  long decoded(char* into, std::size_t size);
  void decide(std::string_view block);
  void decode(const unsigned char* bytes, std::size_t size, bool last);
  std::size_t decodeUtf16(const unsigned char* bytes, std::size_t size, bool last, char*& out);
  std::size_t decodeBig5(const unsigned char* bytes, std::size_t size, bool last, char*& out);

  Read m_read;
  ReadingNotes m_notes;
  std::optional<Encoding> m_given;
  Encoding m_encoding = Encoding::Utf8;
  bool m_started = false;
  bool m_undecided = false;  // UTF-8 so far, and no block has held a byte above 7F yet
  bool m_noted = false;      // the first block has been looked at
  bool m_ended = false;
  int m_oddByte = -1;
  std::unique_ptr<char[]> m_block;  // what a read of UTF-16 fills
  std::string m_raw;        // bytes not yet decoded (an odd byte, a high surrogate, a Big5 lead)
  std::string m_pending;    // UTF-8 decoded and not yet handed out
  std::size_t m_handed = 0;  // of m_pending
};

// Writes UTF-8 that a TextSource made from UTF-16 or Big5 back in that encoding, byte for byte as
// the input had it wherever the text is unchanged. A sequence split between two pieces waits for
// the rest.
class Encoder {
 public:
  // `encoding` is any but UTF-8, which needs no encoder.
  explicit Encoder(Encoding encoding) : m_encoding(encoding) {}

  // `utf8` in the encoding, appended to `out`.
  void put(std::string_view utf8, std::string& out);

 private:
  void unit(char32_t unit, std::string& out) const;

  Encoding m_encoding;
  std::string m_carry;
};

}  // namespace engine
