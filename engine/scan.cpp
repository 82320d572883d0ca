// The search: the identity numbers' finder over the input, the other kinds' over what it passes on.
#include "engine/scan.h"

#include <cerrno>

#include "engine/identity_finder.h"
#include "engine/other_finder.h"

namespace engine {

Search::Search(const ScanOptions& options, Source source, Sink sink) {
  if ((options.kinds & rules::kOtherKinds) == 0) {
    m_identity = std::make_unique<IdentityFinder>(std::move(source), options);
    m_sink = std::move(sink);
    return;
  }
  m_other = std::make_unique<OtherFinder>(options, std::move(sink));
  if ((options.kinds & rules::kIdentityKinds) == 0) {
    m_source = std::move(source);
    return;
  }
  ScanOptions identity = options;
  identity.kinds &= rules::kIdentityKinds;
  identity.text = true;
  m_identity = std::make_unique<IdentityFinder>(std::move(source), identity);
  m_sink = [other = m_other.get()](std::string_view bytes, const Found* number) { other->take(bytes, number); };
}

Search::~Search() = default;

bool Search::step() {
  if (m_ended) return false;
  if (m_identity == nullptr) {
    const long got = m_other->read(m_source);
    m_ended = got <= 0;
    if (got < 0) m_error = errno;
    return !m_ended;
  }
  m_ended = !m_identity->step(m_sink);
  if (!m_ended) return true;
  m_error = m_identity->error();
  if (m_other != nullptr) m_other->finish();
  return false;
}

int ScanWith(const ScanOptions& options, const Source& source, const Sink& sink) {
  Search search(options, source, sink);
  while (search.step()) {
  }
  return search.error();
}

}  // namespace engine
