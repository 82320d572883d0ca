// The C interface's pseudonyms, over the system's AES.
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
    engine::Key bytes;
    std::copy(key, key + bytes.size(), bytes.begin());
    engine::Pseudonyms pseudonyms(engine::OpenAes256(bytes), context != nullptr ? context : "", reveal);
    const std::string written = engine::PseudonymizedText(
        std::string_view(text, length), taloma_c::scanOptionsOf(options, true), pseudonyms);
    char* copy = taloma_c::copied(written);
    if (copy == nullptr) return kFailed;
    *out = copy;
    if (out_length != nullptr) *out_length = written.size();
    if (masked != nullptr) *masked = pseudonyms.masked();
    return pseudonyms.replaced();
  } catch (const std::bad_alloc&) {
    return kFailed;
  } catch (const std::runtime_error&) {  // no AES from the system
    return kFailed;
  }
}

}  // namespace

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
