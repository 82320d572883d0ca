// The UTF-8 reader of the verdict core, for text that is not ten ASCII bytes.
#include "rules/id_core.h"


namespace rules {
namespace {

// Stands in for a character outside ASCII, which no rule accepts at any position.
constexpr unsigned char kOutsideAscii = 0x80;

}  // namespace

namespace detail {

IdVerdict VerifyDecoded(std::string_view text, KindSet kinds) noexcept {
  constexpr std::size_t kTen = kNumberLength;
  // Fewer than ten bytes cannot make ten characters, more than forty always make more.
  if (text.size() < kTen || text.size() > 4 * kTen) return {Reason::Length};
  std::array<unsigned char, kTen> ten{};
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    if (count == kTen) return {Reason::Length};
    const int length = Utf8SequenceLength(text, at);
    ten[count] = length == 1 ? static_cast<unsigned char>(text[at]) : kOutsideAscii;
    at += length == 0 ? 1 : static_cast<std::size_t>(length);
  }
  if (count != kTen) return {Reason::Length};
  return VerifyTen(ten.data(), kinds);
}

}  // namespace detail

}  // namespace rules
