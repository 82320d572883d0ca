// Refilling the line reader's block and following lines longer than it.
#include "engine/line_reader.h"

#include <algorithm>
#include <cerrno>


namespace engine {

LineReader::LineReader(Source source, std::size_t blockSize)
    // A line end and a CR before it must fit beside a kept head, or a cut could depend on the CR.
    : m_source(std::move(source)),
      m_capacity(std::max(blockSize, kKeep + 2)),
      m_buffer(new char[m_capacity]),
      m_pos(m_buffer.get()),
      m_end(m_buffer.get()) {}

bool LineReader::nextFromMore(Line& line) {
  for (;;) {
    if (m_ended) {
      if (m_pos == m_end && !m_long) return false;
      // A CR at the very end is not part of a line end, so it stays.
      const auto size = static_cast<std::size_t>(m_end - m_pos);
      line =
          m_long ? Line{{m_head, kKeep}, true} : Line{{m_pos, std::min(size, kKeep)}, size > kKeep};
      m_pos = m_end;
      m_long = false;
      return true;
    }

    char* const buffer = m_buffer.get();
    if (m_pos != buffer) {
      const auto size = static_cast<std::size_t>(m_end - m_pos);
      std::memmove(buffer, m_pos, size);
      m_pos = buffer;
      m_end = buffer + size;
    }
    if (m_end == buffer + m_capacity) {
      // The line fills the whole block: keep its head and drop the rest as it streams past.
      if (!m_long) std::memcpy(m_head, buffer, kKeep);
      m_long = true;
      m_end = buffer;
    }

    long got;
    do {
      got = m_source(m_end, static_cast<std::size_t>(buffer + m_capacity - m_end));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      m_error = errno;
      m_ended = true;
      m_pos = m_end;
      m_long = false;
      return false;
    }
    if (got == 0) {
      m_ended = true;
      continue;
    }
    char* const fresh = m_end;
    m_end += got;
    auto* end = static_cast<char*>(std::memchr(fresh, '\n', static_cast<std::size_t>(got)));
    if (end == nullptr) continue;
    line = m_long ? Line{{m_head, kKeep}, true} : lineOf(m_pos, end);
    m_long = false;
    m_pos = end + 1;
    return true;
  }
}

}  // namespace engine
