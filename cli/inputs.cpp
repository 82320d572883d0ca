// Opening the inputs of check and scan, and naming those that cannot be read.
#include "cli/commands.h"
#include "cli/platform.h"

namespace cli {

bool forEachInput(const std::vector<std::string>& inputs,
                  const std::function<int(const std::string& name, int fd)>& each) {
  bool allRead = true;
  const auto complain = [&allRead](const std::string& name, int error) {
    std::string line = "taloma-id: " + filled(messages().cannotRead, name, reasonOf(language(), error));
    platform::writeAll(platform::kStandardError, line + "\n");
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
    error = each(name, fd);
    if (error != 0) complain(name, error);
    if (!standardInput) platform::close(fd);
  }
  return allRead;
}

}  // namespace cli
