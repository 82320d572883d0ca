// What the C interface's files share: the scan's options as the interface gives them, copies
// that the caller frees with taloma_free, and pseudonyms under a caller's key.
#pragma once

#include <memory>
#include <string_view>

#include "engine/pseudonyms.h"
#include "engine/scan.h"
#include "taloma/taloma.h"

namespace taloma_c {

// `options` (NULL for the defaults) as the text engine takes them; `text` hands it the text
// between numbers too.
engine::ScanOptions scanOptionsOf(const taloma_scan_options* options, bool text);

// `text` as a NUL-ended copy that taloma_free frees, or null when memory ran out.
char* copied(std::string_view text);

// Pseudonyms under the 32 bytes at `key` and `context` (NULL for none), the key's copy wiped once
// the cipher holds it; std::runtime_error when the system has no AES.
std::unique_ptr<engine::Pseudonyms> pseudonymsOf(const unsigned char* key, const char* context, bool reveal);

}  // namespace taloma_c
