// taloma-id gen: valid numbers streamed from a seeded generator, with a progress line on a
// terminal.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/random.h"

namespace cli {
namespace {

constexpr std::uint64_t kSerials = 10'000'000;  // positions 3 to 9
constexpr std::uint64_t kBatch = 1 << 16;       // numbers between looks at the clock

// One place with one second character, and the rest of its row after the number.
struct Choice {
  rules::IdPrefix prefix;
  std::string rowEnd;
};

std::vector<Choice> choicesOf(const GenSettings& settings) {
  const Format format = settings.common.format;
  std::vector<Choice> choices;
  for (const rules::Place* place : settings.places) {
    const std::string placeName = utf8(place->name);
    const std::string letter(1, static_cast<char>(place->letter));
    for (const rules::Sex sex : settings.sexes) {
      for (const char second : rules::SecondCharacters(settings.kind, sex)) {
        std::string end = format == Format::Jsonl ? "\"" : "";
        if (format != Format::Text) {
          const std::array<Field, 4> fields = {{{"kind", kindName(settings.kind)},
                                                {"sex", sexName(sex)},
                                                {"letter", letter},
                                                {"place", placeName}}};
          appendFields(end, format, fields, false);
        }
        appendRowEnd(end, format);
        choices.push_back({rules::MakePrefix(*place, second), std::move(end)});
      }
    }
  }
  return choices;
}

// The count and rate on standard error, when it is a terminal and the job has run a second.
class Progress {
 public:
  explicit Progress(const Messages& messages)
      : m_messages(messages), m_shown(isatty(STDERR_FILENO) != 0), m_start(Clock::now()) {}
  ~Progress() {
    if (m_drawn) std::fputs("\r\033[K", stderr);
  }

  void update(std::uint64_t done) {
    if (!m_shown) return;
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    if (seconds < 1.0 || now - m_last < std::chrono::milliseconds(200)) return;
    m_last = now;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", static_cast<double>(done) / seconds / 1e6);
    const std::string line = filled(m_messages.progress, std::to_string(done), rate);
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    m_drawn = true;
  }

 private:
  using Clock = std::chrono::steady_clock;
  const Messages& m_messages;
  bool m_shown;
  bool m_drawn = false;
  Clock::time_point m_start;
  Clock::time_point m_last;
};

}  // namespace

int runGen(const GenSettings& settings) {
  const Format format = settings.common.format;
  Output out(STDOUT_FILENO);
  std::string header;
  constexpr std::array<std::string_view, 5> fields = {"number", "kind", "sex", "letter", "place"};
  if (settings.common.header) appendHeader(header, format, fields);
  out.put(header);

  const std::vector<Choice> choices = choicesOf(settings);
  const std::string_view rowStart = format == Format::Jsonl ? "{\"number\":\"" : "";
  std::size_t longestEnd = 0;
  for (const Choice& choice : choices) longestEnd = std::max(longestEnd, choice.rowEnd.size());
  const std::size_t longestRow = rowStart.size() + rules::kNumberLength + longestEnd;

  Xoshiro256StarStar random(settings.seed);
  const std::uint64_t bound = choices.size() * kSerials;
  // Text rows are the number and a line end; the other formats copy the row's start and end.
  const bool bare = format == Format::Text;
  Progress progress(messagesIn(settings.common.language));
  for (std::uint64_t done = 0; done < settings.count;) {
    const std::uint64_t batchEnd = done + std::min(kBatch, settings.count - done);
    for (; done < batchEnd; ++done) {
      const std::uint64_t draw = random.below(bound);
      const Choice& choice = choices[draw / kSerials];
      const auto serial = static_cast<std::uint32_t>(draw % kSerials);
      char* const row = out.reserve(longestRow);
      if (bare) {
        rules::ComposeId(choice.prefix, serial, row);
        row[rules::kNumberLength] = '\n';
        out.commit(rules::kNumberLength + 1);
        continue;
      }
      char* at = row;
      std::memcpy(at, rowStart.data(), rowStart.size());
      at += rowStart.size();
      rules::ComposeId(choice.prefix, serial, at);
      at += rules::kNumberLength;
      std::memcpy(at, choice.rowEnd.data(), choice.rowEnd.size());
      at += choice.rowEnd.size();
      out.commit(static_cast<std::size_t>(at - row));
    }
    progress.update(done);
  }
  return 0;
}

}  // namespace cli
