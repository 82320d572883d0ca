// The npm package's verdicts as integers: what the speed-compiled checks return, and what a row's
// fields are made from once per integer.
#pragma once

#include <cstdint>

#include "rules/id_kinds.h"

// A verdict as one integer, and back: the same verdict, its place and letter included.
std::int32_t CodeOf(const rules::IdVerdict& verdict);
rules::IdVerdict VerdictOfCode(std::int32_t code);
