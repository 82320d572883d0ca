// taloma-id gen: valid numbers streamed from a seeded generator, with a progress line on a
// terminal of its own.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/platform.h"
#include "rules/generation.h"

namespace cli {
namespace {

constexpr std::uint64_t kBatch = 1 << 16;  // numbers between looks at the clock

// The rest of each choice's row after the number, in the order of the draw's choices.
std::vector<std::string> rowEndsOf(const GenSettings& settings,
                                   const std::vector<rules::Choice>& choices) {
  const Format format = settings.common.format;
  std::vector<std::string> ends;
  for (const rules::Choice& choice : choices) {
    std::string end = format == Format::Jsonl ? "\"" : "";
    if (format != Format::Text) {
      const std::string letter(1, choice.place->letter);
      const std::array<Field, 4> fields = {{{"kind", rules::NameOf(settings.kind)},
                                            {"sex", rules::NameOf(choice.sex)},
                                            {"letter", letter},
                                            {"place", choice.place->name}}};
      appendFields(end, format, fields, false);
    }
    ends.push_back(std::move(end));
  }
  return ends;
}

// The count and rate on standard error, when it is a terminal that standard output is not, and
// the job has run a second. The line is wiped when the program ends, Ctrl-C included.
class Progress {
 public:
  Progress()
      : m_shown(platform::isTerminal(platform::kStandardError) &&
                !platform::sameTerminal(platform::kStandardOutput, platform::kStandardError)),
        m_start(Clock::now()) {
    if (m_shown) platform::onInterrupt(wipe);
  }
  ~Progress() { wipe(); }

  void update(std::uint64_t done) {
    if (!m_shown) return;
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    if (seconds < 1.0 || now - m_last < std::chrono::milliseconds(200)) return;
    m_last = now;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", static_cast<double>(done) / seconds / 1e6);
    const std::string line = filled(messages().progress, std::to_string(done), rate);
    s_drawn = true;
    platform::writeAll(platform::kStandardError, "\r" + line + "\033[K");
  }

 private:
  using Clock = std::chrono::steady_clock;

  static void wipe() {
    if (s_drawn) platform::writeAll(platform::kStandardError, "\r\033[K");
    s_drawn = false;
  }

  static inline volatile bool s_drawn = false;
  bool m_shown;
  Clock::time_point m_start;
  Clock::time_point m_last;
};

}  // namespace

int runGen(const GenSettings& settings) {
  const Format format = settings.common.format;
  rules::NumberDraw draw(rules::Choices(settings.kind, settings.places, settings.sexes),
                         rules::SerialSpace(settings.categories), settings.seed, settings.unique);
  if (settings.unique && settings.count > draw.size()) {
    fail(filled(messages().tooFew, std::to_string(draw.size())));
  }
  const std::vector<std::string> rowEnds = rowEndsOf(settings, draw.choices());

  Output out(platform::kStandardOutput);
  std::string header;
  // The category is a column only when asked for, so that output without it stays as it was.
  std::vector<std::string_view> fields = {"number", "kind", "sex", "letter", "place"};
  if (!settings.categories.empty()) fields.push_back("category");
  if (settings.common.header) appendHeader(header, format, fields);
  out.put(header);

  const std::string_view rowStart = format == Format::Jsonl ? "{\"number\":\"" : "";
  std::size_t longestEnd = 0;
  for (const std::string& end : rowEnds) longestEnd = std::max(longestEnd, end.size());
  // The category column, when there is one: the name of the drawn number's category.
  const std::size_t categoryRoom = settings.categories.empty() ? 0 : 40;
  const std::size_t longestRow = rowStart.size() + rules::kNumberLength + longestEnd + categoryRoom + 2;

  // Text rows are the number and a line end; the other formats copy the row's start and end.
  const bool bare = format == Format::Text;
  Progress progress;
  std::string category;
  for (std::uint64_t done = 0; done < settings.count;) {
    const std::uint64_t batchEnd = done + std::min(kBatch, settings.count - done);
    for (; done < batchEnd; ++done) {
      std::uint32_t serial = 0;
      const std::size_t choice = draw.next(serial);
      const rules::IdPrefix& prefix = draw.choices()[choice].prefix;
      char* const row = out.reserve(longestRow);
      if (bare) {
        rules::ComposeId(prefix, serial, row);
        row[rules::kNumberLength] = '\n';
        out.commit(rules::kNumberLength + 1);
        continue;
      }
      char* at = row;
      std::memcpy(at, rowStart.data(), rowStart.size());
      at += rowStart.size();
      rules::ComposeId(prefix, serial, at);
      const char third = at[2];
      at += rules::kNumberLength;
      const std::string& end = rowEnds[choice];
      std::memcpy(at, end.data(), end.size());
      at += end.size();
      if (!settings.categories.empty()) {
        category.clear();
        appendFields(category, format,
                     std::array<Field, 1>{{{"category", rules::NameOf(rules::CategoryOf(third))}}},
                     false);
        std::memcpy(at, category.data(), category.size());
        at += category.size();
      }
      if (format == Format::Jsonl) *at++ = '}';
      *at++ = '\n';
      out.commit(static_cast<std::size_t>(at - row));
    }
    progress.update(done);
  }
  return 0;
}

}  // namespace cli
