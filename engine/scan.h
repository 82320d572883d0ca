// Finding numbers in text: what is found, how the search is asked for, and the search itself over
// a source read in pieces, which hands the input on to a sink, the numbers marked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "rules/kinds.h"

namespace engine {

// A number in the text, standing alone: no letter or digit of either width touches it.
struct Found {
  std::uint64_t offset = 0;  // of its first byte in the input
  std::uint64_t line = 1;    // counted from 1
  std::uint64_t column = 1;  // counted from 1 in characters, after a byte-order mark that opens
                             // the input; each byte that is not UTF-8 is a character of its own
  std::string_view text;     // as it stands in the input, from its letter to its last digit
  char ascii[10] = {};       // an identity number's characters in ASCII, case kept
  rules::IdVerdict verdict;  // of the ASCII form
};

struct ScanOptions {
  rules::KindSet kinds = rules::kIdentityKinds;
  bool nearMisses = false;  // report every shape of a number, valid or not
  bool normalize = false;   // invisible formatting characters inside a number do not break it,
                            // and lower-case letters count as capitals
  bool positions = true;    // count the line and column of each number found
  bool text = true;         // hand the text between numbers to the sink too
  bool labelled = false;    // the kinds that need a label (rules::kNeedLabels) only with one
  bool before2023 = false;  // 統一編號 by the rule before April 2023
};

// Fills `into` with up to `size` bytes; returns how many, 0 at the end, -1 on an error (errno).
using Source = std::function<long(char* into, std::size_t size)>;
// Receives the input in order, in pieces: plain text with `number` null, or the bytes of one number
// with `number` set.
using Sink = std::function<void(std::string_view bytes, const Found* number)>;

// The blocks a source is read in.
inline constexpr std::size_t kBlockSize = 64 * 1024;

class IdentityFinder;
class OtherFinder;

// The search of an input read from `source` into `sink`: the identity numbers found by an
// IdentityFinder, the other kinds by an OtherFinder over the text between them, or by an
// OtherFinder alone when no identity kind is asked for. It goes a read at a time, for a caller
// that has the input's next block only once it has come (FedSearch).
class Search {
 public:
  Search(const ScanOptions& options, Source source, Sink sink);
  ~Search();
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  // Reads the source once (at most kBlockSize bytes) and passes on what that settles; false once
  // the input has ended and all of it has been passed on.
  bool step();
  // The errno of a read error that ended the input, or 0.
  int error() const noexcept { return m_error; }

 private:
  Source m_source;  // the OtherFinder's, when it reads the input itself
  Sink m_sink;      // the IdentityFinder's
  std::unique_ptr<OtherFinder> m_other;
  std::unique_ptr<IdentityFinder> m_identity;
  bool m_ended = false;
  int m_error = 0;
};

// Reads the whole of `source` through `sink` with a Search. The errno of a read error, or 0.
int ScanWith(const ScanOptions& options, const Source& source, const Sink& sink);

}  // namespace engine
