// taloma-id key: a new key for the pseudonyms, from the system's random source, in a file that
// only its owner may read; and reading one back for scan.
#include <array>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/platform.h"
#include "engine/pseudonyms.h"

namespace cli {

int runKey(const KeySettings& settings) {
  const Words& m = settings.common.m();
  engine::Key key{};
  if (!platform::randomBytes(key.data(), key.size())) fail(m.noRandom.text);
  int error = 0;
  const int fd = platform::createPrivate(settings.file, error);
  if (fd < 0) {
    if (error == EEXIST) fail(filled(m.keyExists, shownValue(settings.file)));
    fail(filled(m.cannotCreate, shownValue(settings.file), reasonOf(m.language, error)));
  }
  const bool written = platform::writeAll(fd, engine::KeyFileText(key));
  const int writeError = errno;
  platform::close(fd);
  key.fill(0);
  if (!written) {
    platform::removeFile(settings.file);
    fail(filled(m.cannotCreate, shownValue(settings.file), reasonOf(m.language, writeError)));
  }
  note(filled(m.keyWritten, shownValue(settings.file)));
  return 0;
}

Runner addKey(CLI::App& app, const Words& m) {
  // It writes no rows: of the common options, --lang alone.
  auto settings = std::make_shared<KeySettings>();
  auto lang = std::make_shared<std::string>();
  CLI::App* command = addCommand(app, "key", m.key, m);
  command->add_option(m.fileValue, settings->file, m.keyTarget)->type_name("")->required();
  command->add_option("--lang", *lang, m.lang)->type_name(m.langValue)->check(languageName(m));
  command->footer(m.keyFooter);
  return [settings, lang, &m] {
    settings->common = Common{&m};
    return runKey(*settings);
  };
}

// The key in `file`, for --key-file: a file that cannot be read, or holds anything but a key, ends
// the program with status 2 before anything is written; one that others may read is warned of.
engine::Key readKey(const std::string& file, const Words& m) {
  int error = 0;
  const int fd = platform::openForReading(file, error);
  if (fd < 0) fail(filled(m.cannotRead, shownValue(file), reasonOf(m.language, error)));
  std::array<char, engine::kKeyFileSize + 2> contents{};
  std::size_t size = 0;
  for (;;) {
    const long got = platform::readSome(fd, contents.data() + size, contents.size() - size);
    if (got < 0) {
      error = errno;
      platform::close(fd);
      fail(filled(m.cannotRead, shownValue(file), reasonOf(m.language, error)));
    }
    size += static_cast<std::size_t>(got);
    if (got == 0 || size == contents.size()) break;
  }
  const bool exposed = platform::othersMayRead(fd);
  platform::close(fd);
  const std::optional<engine::Key> key = engine::KeyOfFile({contents.data(), size});
  contents.fill(0);
  if (!key) fail(filled(m.notAKey, shownValue(file)));
  if (exposed) note(filled(m.keyReadable, shownValue(file)));
  return *key;
}

}  // namespace cli
