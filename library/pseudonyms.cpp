// The C interface's pseudonyms, over the system's AES, and key files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <new>
#include <stdexcept>

#include "engine/aes.h"
#include "engine/pseudonyms.h"
#include "library/interface.h"

namespace {

std::size_t rewrite(const char* text, size_t length, const taloma_scan_options* options,
                    const unsigned char* key, size_t key_length, const char* context, char** out,
                    size_t* out_length, size_t* masked, bool reveal) {
  constexpr auto kFailed = static_cast<std::size_t>(-1);
  if (key == nullptr || key_length != engine::Key().size() || out == nullptr) return kFailed;
  try {
    const std::unique_ptr<engine::Pseudonyms> pseudonyms = taloma_c::pseudonymsOf(key, context, reveal);
    const std::string written = engine::PseudonymizedText(
        std::string_view(text, length), taloma_c::scanOptionsOf(options, true), *pseudonyms);
    char* copy = taloma_c::copied(written);
    if (copy == nullptr) return kFailed;
    *out = copy;
    if (out_length != nullptr) *out_length = written.size();
    if (masked != nullptr) *masked = pseudonyms->masked();
    return pseudonyms->replaced();
  } catch (const std::bad_alloc&) {
    return kFailed;
  } catch (const std::runtime_error&) {  // no AES from the system
    return kFailed;
  }
}

}  // namespace

std::unique_ptr<engine::Pseudonyms> taloma_c::pseudonymsOf(const unsigned char* key, const char* context,
                                                           bool reveal) {
  engine::Key bytes;
  std::copy(key, key + bytes.size(), bytes.begin());
  auto pseudonyms = std::make_unique<engine::Pseudonyms>(engine::OpenAes256(bytes),
                                                         context != nullptr ? context : "", reveal);
  bytes.fill(0);  // the cipher holds the key from here
  return pseudonyms;
}

size_t taloma_pseudonymize(const char* text, size_t length, const taloma_scan_options* options,
                           const unsigned char* key, size_t key_length, const char* context,
                           char** out, size_t* out_length, size_t* masked) {
  return rewrite(text, length, options, key, key_length, context, out, out_length, masked, false);
}

size_t taloma_reveal(const char* text, size_t length, const taloma_scan_options* options,
                     const unsigned char* key, size_t key_length, const char* context, char** out,
                     size_t* out_length, size_t* masked) {
  return rewrite(text, length, options, key, key_length, context, out, out_length, masked, true);
}

int taloma_read_key(const char* path, unsigned char key[32], int* exposed) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
    ::close(fd);
    return error;
  }
  std::array<char, engine::kKeyFileSize + 2> contents{};
  std::size_t size = 0;
  for (;;) {
    const ssize_t got = ::read(fd, contents.data() + size, contents.size() - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const int error = errno;
      ::close(fd);
      return error;
    }
    size += static_cast<std::size_t>(got);
    if (got == 0 || size == contents.size()) break;
  }
  ::close(fd);
  if (exposed != nullptr) *exposed = (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
  std::optional<engine::Key> read = engine::KeyOfFile({contents.data(), size});
  contents.fill(0);
  if (!read) return -1;
  std::copy(read->begin(), read->end(), key);
  read->fill(0);
  return 0;
}
