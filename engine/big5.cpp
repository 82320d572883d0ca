// The tables of code page 950, made once from engine/big5_table.txt when a Big5 input first needs them.
#include "engine/big5.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "engine/big5_table_text.h"
#include "rules/text.h"

namespace engine::big5 {
namespace {

constexpr unsigned kFirstLead = 0x81;
constexpr std::size_t kLeads = 0xFE - kFirstLead + 1;
constexpr std::size_t kTrails = (0x7E - 0x40 + 1) + (0xFE - 0xA1 + 1);

constexpr std::size_t trailIndex(unsigned char trail) {
  return trail <= 0x7E ? trail - 0x40u : (0x7E - 0x40 + 1) + (trail - 0xA1u);
}
constexpr unsigned char trailAt(std::size_t index) {
  return static_cast<unsigned char>(index <= 0x7E - 0x40 ? 0x40 + index : 0xA1 + index - (0x7E - 0x40 + 1));
}

struct Tables {
  // The character of each pair that has one of its own; 0 for a stand-in.
  std::array<std::array<char16_t, kTrails>, kLeads> characters{};
  // Each character's pair, by character.
  std::vector<std::pair<char16_t, std::uint16_t>> pairs;
};

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Tables made() {
  Tables t;
  std::string_view text = kBig5TableText;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (line.size() < 3 || line[0] == '#') continue;
    const unsigned lead = static_cast<unsigned>(16 * hexValue(line[0]) + hexValue(line[1]));
    line.remove_prefix(3);
    std::size_t trail = 0;
    for (std::size_t at = 0; at < line.size() && trail < kTrails; ++trail) {
      const rules::Utf8Character c = rules::Utf8At(line, at);
      at += c.size;
      if (c.code != U'\uFFFD') t.characters[lead - kFirstLead][trail] = static_cast<char16_t>(c.code);
    }
  }
  // The first pair of a character is its own; a second one reads as its stand-in, so that
  // writing the character back gives the pair that the input had.
  for (std::size_t lead = 0; lead < kLeads; ++lead) {
    for (std::size_t trail = 0; trail < kTrails; ++trail) {
      const char16_t c = t.characters[lead][trail];
      if (c != 0) t.pairs.emplace_back(c, static_cast<std::uint16_t>(((kFirstLead + lead) << 8) | trailAt(trail)));
    }
  }
  std::stable_sort(t.pairs.begin(), t.pairs.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<char16_t, std::uint16_t>> kept;
  for (const auto& pair : t.pairs) {
    if (!kept.empty() && kept.back().first == pair.first) {
      t.characters[(pair.second >> 8) - kFirstLead][trailIndex(pair.second & 0xFF)] = 0;
    } else {
      kept.push_back(pair);
    }
  }
  t.pairs = std::move(kept);
  return t;
}

const Tables& tables() {
  static const Tables t = made();
  return t;
}

}  // namespace

bool IsCharacter(unsigned char lead, unsigned char trail) noexcept {
  return IsLead(lead) && IsTrail(trail) && tables().characters[lead - kFirstLead][trailIndex(trail)] != 0;
}

char32_t Decode(unsigned char lead, unsigned char trail) noexcept {
  const char16_t c = tables().characters[lead - kFirstLead][trailIndex(trail)];
  return c != 0 ? c : kBytesBase + ((unsigned{lead} << 8) | trail);
}

std::uint16_t Encode(char32_t c) noexcept {
  if (c < 0x80) return static_cast<std::uint16_t>(c);
  if (c >= kBytesBase + 0x80 && c <= kBytesBase + 0xFEFE) return static_cast<std::uint16_t>(c - kBytesBase);
  if (c > 0xFFFF) return 0;
  const auto& pairs = tables().pairs;
  const auto found = std::lower_bound(pairs.begin(), pairs.end(), static_cast<char16_t>(c),
                                      [](const auto& pair, char16_t key) { return pair.first < key; });
  return found != pairs.end() && found->first == c ? found->second : 0;
}

Reading Read(std::string_view block) noexcept {
  Reading reading;
  const auto* b = reinterpret_cast<const unsigned char*>(block.data());
  for (std::size_t at = 0; at < block.size(); ++at) {
    if (b[at] < 0x80) continue;
    if (at + 1 == block.size()) {  // the rest of the pair comes with the next read
      reading.valid = IsLead(b[at]);
      return reading;
    }
    if (!IsCharacter(b[at], b[at + 1])) {
      reading.valid = false;
      return reading;
    }
    ++reading.characters;
    reading.frequent += IsFrequent(b[at], b[at + 1]) ? 1 : 0;
    ++at;
  }
  return reading;
}

}  // namespace engine::big5
