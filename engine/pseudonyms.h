// Pseudonyms: each number found replaced by another valid number of its kind, written the same way,
// the same one for the same number under one key and context, two numbers never the same one, and
// the original back from the pseudonym with the key. How each kind's characters are enciphered is
// its registry entry's PseudonymShape; FF1 with AES-256 does it (docs/pseudonyms.md).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/aes.h"
#include "engine/ff1.h"
#include "engine/scan.h"
#include "rules/id_kinds.h"

namespace engine {

// A key file holds 64 hexadecimal characters and a newline, and nothing else.
inline constexpr std::size_t kKeyFileSize = 65;
std::optional<Key> KeyOfFile(std::string_view contents);
std::string KeyFileText(const Key& key);

class Pseudonyms {
 public:
  // Pseudonyms under the cipher's key in the family of `context` (none when empty); with `reveal`
  // the numbers are taken for pseudonyms and turned back.
  Pseudonyms(std::unique_ptr<BlockCipher> cipher, std::string_view context, bool reveal);

  // Appends `number` (its bytes as found, and its verdict) to `out`: a valid number to become its
  // pseudonym at the next finish(out), left as it is until then; any other masked as --redact
  // masks it, as is a number whose kind cannot give it a pseudonym (a 捐贈碼 of three to five
  // digits, a 手機條碼 written with a lower-case letter).
  void add(std::string& out, std::string_view number, const rules::IdVerdict& verdict);

  // Writes the pseudonyms of the numbers added since the last call into `out`, their rounds
  // enciphered together.
  void finish(std::string& out);

  std::size_t waiting() const { return m_jobs.size(); }
  std::uint64_t replaced() const { return m_replaced; }
  std::uint64_t masked() const { return m_masked; }

 private:
  // A number waiting: where it stands in `out`, and its characters that count (in ASCII capitals)
  // with the place of those enciphered among them.
  struct Job {
    std::size_t offset;
    std::size_t size;
    rules::IdKind kind;
    std::uint8_t count, first, length;
    std::array<char, 16> counted;
  };
  const Ff1Domain& domainOf(rules::IdKind kind, std::string_view tweakKept, unsigned length);

  std::unique_ptr<BlockCipher> m_cipher;
  std::string m_context;
  bool m_reveal;
  // By kind, length and the characters kept in the tweak (three at most), packed in one word.
  std::unordered_map<std::uint64_t, std::unique_ptr<Ff1Domain>> m_domains;
  std::array<std::pair<std::uint64_t, const Ff1Domain*>, 64> m_recent{};  // 0: none
  Ff1Batch m_batch;
  std::vector<Job> m_jobs;
  std::uint64_t m_replaced = 0, m_masked = 0;
};

// How many numbers wait for their pseudonyms at most: their rounds go through the cipher together.
inline constexpr std::size_t kPseudonymBatch = 4096;

// `text` written again with each number that `options` finds given to `pseudonyms`.
std::string PseudonymizedText(std::string_view text, const ScanOptions& options, Pseudonyms& pseudonyms);

}  // namespace engine
