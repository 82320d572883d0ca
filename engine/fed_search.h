// The search of one input that comes in pieces of any size (a stream, a file read by another
// program), read as taloma-id scan reads a file: the pieces are held until a whole block is there,
// so that the reader and the finders see the blocks a file gives them, and find the same numbers
// and write the same text, wherever the input was cut.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/masks.h"
#include "engine/scan.h"
#include "engine/text_source.h"

namespace engine {

class FedSearch {
 public:
  using Number = std::function<void(const Found& number)>;
  using Text = std::function<void(std::string_view bytes)>;

  // `number` is told of each number found; `redacted`, when set, receives the input back as
  // taloma-id scan --redact writes it, in pieces, or given `pseudonyms` as --pseudonymize (or
  // --reveal) writes it.
  FedSearch(ScanOptions options, Number number, Text redacted, Pseudonyms* pseudonyms = nullptr);

  // Takes the next bytes of the input, and searches the whole blocks held.
  void feed(std::string_view bytes);
  // Searches the rest: the input has ended.
  void finish();
  // Passes nothing more on: the search takes the input as ended where it stands.
  void stop() noexcept { m_stopped = true; }

 private:
  long read(char* into, std::size_t size);

  Number m_number;
  Text m_redacted;
  std::string m_held;
  std::size_t m_taken = 0;  // of m_held, by the reader
  bool m_finished = false;
  bool m_stopped = false;
  TextSource m_text;
  std::optional<Redaction> m_redaction;
  Search m_search;
};

}  // namespace engine
