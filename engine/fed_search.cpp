// The search fed in pieces: a read is answered only from a whole block held, or at the end.
#include "engine/fed_search.h"

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

ScanOptions withText(ScanOptions options, bool text) {
  options.positions = true;
  options.text = text;
  return options;
}

}  // namespace

FedSearch::FedSearch(ScanOptions options, Number number, Text redacted, Pseudonyms* pseudonyms)
    : m_number(std::move(number)),
      m_redacted(std::move(redacted)),
      m_text([this](char* into, std::size_t size) { return read(into, size); }, {}),
      m_search(withText(options, static_cast<bool>(m_redacted)),
               [this](char* into, std::size_t size) { return m_text.read(into, size); },
               [this](std::string_view bytes, const Found* number) {
                 if (m_stopped) return;
                 if (number != nullptr && m_number) m_number(*number);
                 if (m_redaction) m_redacted(m_redaction->put(bytes, number));
               }) {
  if (m_redacted) m_redaction.emplace(m_text, pseudonyms);
}

// Every read of the search and of the reader under it asks for at most kBlockSize bytes (the
// reader's first block and its UTF-16 and Big5 blocks are as big), so one whole block held answers
// any of them as a file would.
void FedSearch::feed(std::string_view bytes) {
  m_held.erase(0, m_taken);
  m_taken = 0;
  m_held.append(bytes);
  while (!m_stopped && m_held.size() - m_taken >= kBlockSize && m_search.step()) {
  }
}

void FedSearch::finish() {
  m_finished = true;
  while (m_search.step()) {
  }
  if (m_redaction && !m_stopped) m_redacted(m_redaction->end());
}

long FedSearch::read(char* into, std::size_t size) {
  if (m_stopped) return 0;
  const std::size_t n = std::min(size, m_held.size() - m_taken);
  std::memcpy(into, m_held.data() + m_taken, n);
  m_taken += n;
  return static_cast<long>(n);
}

}  // namespace engine
