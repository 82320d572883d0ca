// Opening the inputs of check and scan, and naming those that cannot be read or are not text.
#include "cli/commands.h"
#include "cli/platform.h"

namespace cli {

bool forEachInput(const std::vector<std::string>& inputs, std::optional<Encoding> encoding,
                  const Words& m,
                  const std::function<void()>& beforeRead,
                  const std::function<int(const std::string& name, TextSource& text)>& each) {
  bool allRead = true;
  const auto complain = [&allRead, &m](const std::string& name, int error) {
    note(filled(m.cannotRead, shownValue(name), reasonOf(m.language, error)));
    allRead = false;
  };
  for (const std::string& name : inputs) {
    const bool standardInput = name == "-";
    int error = 0;
    const int fd = standardInput ? platform::kStandardInput : platform::openForReading(name, error);
    if (fd < 0) {
      complain(name, error);
      continue;
    }
    TextSource text(
        [fd, &beforeRead](char* into, std::size_t size) {
          if (beforeRead) beforeRead();
          return platform::readSome(fd, into, size);
        },
        {[&name, &m](std::uint64_t line) {
           note(filled(m.undecodable, shownValue(name), std::to_string(line)));
         },
         [&name, &m] { note(filled(m.readAsBig5, shownValue(name))); }},
        encoding);
    error = each(name, text);
    if (error != 0) complain(name, error);
    if (!standardInput) platform::close(fd);
  }
  return allRead;
}

}  // namespace cli
