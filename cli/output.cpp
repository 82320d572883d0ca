// The output buffer.
#include "cli/output.h"

#include <cerrno>

#include "cli/platform.h"

namespace cli {

Output::Output(int fd, const Words& messages)
    : m_fd(fd), m_words(messages), m_data(new char[kSize]) {}

void Output::flush() {
  write({m_data.get(), m_used});
  m_used = 0;
}

void Output::write(std::string_view bytes) {
  if (!platform::writeAll(m_fd, bytes)) {
    fail(filled(m_words.cannotWrite, reasonOf(m_words.language, errno)));
  }
}

}  // namespace cli
