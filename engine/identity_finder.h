// Finds the identity numbers that stand alone in any text, read in blocks: CSV of any shape,
// logs, documents, in ASCII or full-width letters and digits. Runs of eight or nine digits are the
// anchors; the one or two letters before a run and the characters around the whole are looked at
// only there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/positions.h"
#include "engine/scan.h"

namespace engine {

class IdentityFinder {
 public:
  IdentityFinder(Source source, const ScanOptions& options, std::size_t blockSize = kBlockSize);

  // Reads the whole input through `sink`; the errno of a read error, or 0.
  int run(const Sink& sink) {
    while (step(sink)) {
    }
    return m_error;
  }
  // Scans what is held and reads the source once; false, once the input has ended, after passing
  // the rest of it on. A step asks the source for at most the block size.
  bool step(const Sink& sink);
  // The errno of a read error that ended the input, or 0.
  int error() const noexcept { return m_error; }

 private:
  bool refill(const Sink& sink);
  void scanBlock(const Sink& sink);
  void consider(const unsigned char* start, std::size_t digits, const unsigned char* last,
                const unsigned char* next, const Sink& sink);
  template <bool kSkipHidden>
  void consider(const unsigned char* start, std::size_t digits, const unsigned char* last,
                const Sink& sink);
  std::size_t formatCharacterAt(const unsigned char* p) const;
  void pass(const unsigned char* upTo, const Sink& sink);

  Source m_source;
  ScanOptions m_options;
  std::size_t m_capacity;
  std::unique_ptr<unsigned char[]> m_buffer;
  unsigned char* m_end;        // the end of the bytes read
  unsigned char* m_next;       // where scanning goes on
  const unsigned char* m_passed;  // the bytes before it have gone to the sink
  std::uint64_t m_base = 0;    // the input offset of m_buffer[0]
  bool m_ended = false;
  bool m_escapes = false;  // the bytes held hold an ESC
  int m_error = 0;

  // The run of digits being read: its first byte, the end of its last digit and its length in
  // digits.
  const unsigned char* m_runStart = nullptr;
  const unsigned char* m_runEnd = nullptr;
  std::size_t m_run = 0;

  Positions m_positions;

  std::string_view held() const {
    return {reinterpret_cast<const char*>(m_buffer.get()), static_cast<std::size_t>(m_end - m_buffer.get())};
  }
};

}  // namespace engine
