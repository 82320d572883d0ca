// taloma-id gen: valid numbers streamed from a seeded generator, with a progress line on a
// terminal of its own.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/platform.h"
#include "cli/random.h"

namespace cli {
namespace {

constexpr std::uint64_t kSerials = 10'000'000;  // positions 3 to 9
constexpr std::uint64_t kAfterThird = 1'000'000;  // positions 4 to 9
constexpr std::uint64_t kBatch = 1 << 16;         // numbers between looks at the clock

// One place with one second character, and the rest of its row after the number.
struct Choice {
  rules::IdPrefix prefix;
  std::string rowEnd;
};

std::vector<Choice> choicesOf(const GenSettings& settings) {
  const Format format = settings.common.format;
  std::vector<Choice> choices;
  for (const rules::Place* place : settings.places) {
    const std::string letter(1, place->letter);
    for (const rules::Sex sex : settings.sexes) {
      for (const char second : rules::SecondCharacters(settings.kind, sex)) {
        std::string end = format == Format::Jsonl ? "\"" : "";
        if (format != Format::Text) {
          std::vector<Field> fields = {{"kind", rules::NameOf(settings.kind)},
                                       {"sex", rules::NameOf(sex)},
                                       {"letter", letter},
                                       {"place", place->name}};
          appendFields(end, format, fields, false);
        }
        choices.push_back({rules::MakePrefix(*place, second), std::move(end)});
      }
    }
  }
  return choices;
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

// Turns a drawn value below choices x serials into a choice and the serial digits. With chosen
// resident categories, the third digit is one of theirs.
class Serials {
 public:
  explicit Serials(const GenSettings& settings) {
    for (const rules::Category category : settings.categories) {
      for (const char third : rules::ThirdCharacters(category)) m_thirds.push_back(third - '0');
    }
  }

  std::uint64_t perChoice() const {
    return m_thirds.empty() ? kSerials : m_thirds.size() * kAfterThird;
  }

  std::uint32_t serial(std::uint64_t rest) const {
    if (m_thirds.empty()) return static_cast<std::uint32_t>(rest);
    return static_cast<std::uint32_t>(m_thirds[rest / kAfterThird] * kAfterThird +
                                      rest % kAfterThird);
  }

 private:
  std::vector<std::uint32_t> m_thirds;
};

}  // namespace

int runGen(const GenSettings& settings) {
  const Format format = settings.common.format;
  const std::vector<Choice> choices = choicesOf(settings);
  const Serials serials(settings);
  const std::uint64_t perChoice = serials.perChoice();
  const std::uint64_t bound = choices.size() * perChoice;
  if (settings.unique && settings.count > bound) {
    fail(filled(messages().tooFew, std::to_string(bound)));
  }

  Output out(platform::kStandardOutput);
  std::string header;
  // The category is a column only when asked for, so that output without it stays as it was.
  std::vector<std::string_view> fields = {"number", "kind", "sex", "letter", "place"};
  if (!settings.categories.empty()) fields.push_back("category");
  if (settings.common.header) appendHeader(header, format, fields);
  out.put(header);

  const std::string_view rowStart = format == Format::Jsonl ? "{\"number\":\"" : "";
  std::size_t longestEnd = 0;
  for (const Choice& choice : choices) longestEnd = std::max(longestEnd, choice.rowEnd.size());
  // The category column, when there is one: the name of the drawn number's category.
  const std::size_t categoryRoom = settings.categories.empty() ? 0 : 40;
  const std::size_t longestRow = rowStart.size() + rules::kNumberLength + longestEnd + categoryRoom + 2;

  Xoshiro256StarStar random(settings.seed);
  const Permutation permutation(bound, settings.seed);
  // Text rows are the number and a line end; the other formats copy the row's start and end.
  const bool bare = format == Format::Text;
  Progress progress;
  std::string category;
  for (std::uint64_t done = 0; done < settings.count;) {
    const std::uint64_t batchEnd = done + std::min(kBatch, settings.count - done);
    for (; done < batchEnd; ++done) {
      const std::uint64_t draw = settings.unique ? permutation(done) : random.below(bound);
      const Choice& choice = choices[draw / perChoice];
      const std::uint32_t serial = serials.serial(draw % perChoice);
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
      const char third = at[2];
      at += rules::kNumberLength;
      std::memcpy(at, choice.rowEnd.data(), choice.rowEnd.size());
      at += choice.rowEnd.size();
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
