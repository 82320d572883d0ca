// What the C interface's files share: the scan's options as the interface gives them, and copies
// that the caller frees with taloma_free.
#pragma once

#include <string_view>

#include "engine/scan.h"
#include "taloma/taloma.h"

namespace taloma_c {

// `options` (NULL for the defaults) as the text engine takes them; `text` hands it the text
// between numbers too.
engine::ScanOptions scanOptionsOf(const taloma_scan_options* options, bool text);

// `text` as a NUL-ended copy that taloma_free frees, or null when memory ran out.
char* copied(std::string_view text);

}  // namespace taloma_c
