// taloma-id gen: valid numbers streamed from a seeded generator, with a progress line on a
// terminal of its own.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/platform.h"
#include "rules/other_kinds.h"
#include "rules/generation.h"

namespace cli {
namespace {

constexpr std::uint64_t kBatch = 1 << 16;  // numbers between looks at the clock

// The rest of each choice's row after the number, in the order of the draw's choices.
std::vector<std::string> rowEndsOf(const GenSettings& settings, const RowPrinter& rows,
                                   const std::vector<rules::Choice>& choices) {
  std::vector<std::string> ends;
  for (const rules::Choice& choice : choices) {
    std::string end(rows.quote());
    if (rows.format() != Format::Text) {
      const std::string letter(1, choice.place->letter);
      const std::array<Field, 4> fields = {{{"kind", rules::NameOf(settings.kind)},
                                            {"sex", rules::NameOf(choice.sex)},
                                            {"letter", letter},
                                            {"place", choice.place->name}}};
      rows.fields(end, fields, false);
    }
    ends.push_back(std::move(end));
  }
  return ends;
}

// The count and rate on standard error, when it is a terminal that standard output is not, and
// the job has run a second. The line is wiped when the program ends, Ctrl-C included.
class Progress {
 public:
  explicit Progress(const Words& m)
      : m_words(m),
        m_shown(platform::isTerminal(platform::kStandardError) &&
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
    const std::string line = filled(m_words.progress, std::to_string(done), rate);
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
  const Words& m_words;
  bool m_shown;
  Clock::time_point m_start;
  Clock::time_point m_last;
};

// A place as rules::PlaceByName knows it: its letter value, for CLI11 to convert.
CLI::Validator placeName(const Words& m) {
  return CLI::Validator(
      [&m](std::string& value) -> std::string {
        // Spaces around a name in a list are the list's, not the name's.
        std::string_view name = value;
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        const rules::Place* found = rules::PlaceByName(name);
        if (found == nullptr) return filled(m.badPlace, shownValue(name));
        value = std::to_string(found->letterValue);
        return {};
      },
      "");
}

// Numbers of the other kinds: the number and its kind in a row.
int runFormGen(const GenSettings& settings) {
  const Words& m = settings.common.m();
  const RowPrinter rows(settings.common.format);
  rules::OtherDraw draw(settings.kind, settings.seed, settings.unique, settings.since2023);
  if (settings.unique && settings.count > draw.size()) {
    // Every certificate, carrier and donation code of the form is drawn; a business number only
    // with one check digit of those its first seven digits may have.
    const Text& tooFew = settings.kind == rules::IdKind::Business ? m.tooFewBusiness : m.tooFew;
    fail(filled(tooFew, std::to_string(draw.size())));
  }
  Output out(platform::kStandardOutput, m);
  std::string text;
  if (settings.common.header) rows.header(text, std::array<std::string_view, 2>{"number", "kind"});
  out.put(text);
  std::string end(rows.quote());
  if (rows.format() != Format::Text) {
    rows.fields(end, std::array<Field, 1>{{{"kind", rules::NameOf(settings.kind)}}}, false);
  }
  const std::string start = rows.before("number", true) + std::string(rows.quote());
  Progress progress(m);
  for (std::uint64_t done = 0; done < settings.count;) {
    const std::uint64_t batchEnd = done + std::min(kBatch, settings.count - done);
    for (; done < batchEnd; ++done) {
      text = start;
      // A carrier's characters are letters, digits and . - + /, which no format escapes.
      text += draw.next();
      text += end;
      char* const row = out.reserve(text.size() + 2);
      std::memcpy(row, text.data(), text.size());
      out.commit(static_cast<std::size_t>(rows.end(row + text.size()) - row));
    }
    progress.update(done);
  }
  return 0;
}

}  // namespace

int runGen(const GenSettings& settings) {
  if (!rules::IsIdentityKind(settings.kind)) return runFormGen(settings);
  const Words& m = settings.common.m();
  const RowPrinter rows(settings.common.format);
  rules::NumberDraw draw(rules::Choices(settings.kind, settings.places, settings.sexes),
                         rules::SerialSpace(settings.categories), settings.seed, settings.unique);
  if (settings.unique && settings.count > draw.size()) {
    fail(filled(m.tooFew, std::to_string(draw.size())));
  }
  const std::vector<std::string> rowEnds = rowEndsOf(settings, rows, draw.choices());

  Output out(platform::kStandardOutput, m);
  std::string header;
  // The category is a column only when asked for, so that output without it stays as it was.
  std::vector<std::string_view> fields = {"number", "kind", "sex", "letter", "place"};
  if (!settings.categories.empty()) fields.push_back("category");
  if (settings.common.header) rows.header(header, fields);
  out.put(header);

  const std::string rowStart = rows.before("number", true) + std::string(rows.quote());
  std::size_t longestEnd = 0;
  for (const std::string& end : rowEnds) longestEnd = std::max(longestEnd, end.size());
  // The category column, when there is one: the name of the drawn number's category.
  const std::size_t categoryRoom = settings.categories.empty() ? 0 : 40;
  const std::size_t longestRow =
      rowStart.size() + rules::kNumberLength + longestEnd + categoryRoom + 2;

  // Text rows are the number and a line end; the other formats copy the row's start and end.
  const bool bare = rows.format() == Format::Text;
  Progress progress(m);
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
      if (!rowStart.empty()) {
        std::memcpy(at, rowStart.data(), rowStart.size());
        at += rowStart.size();
      }
      rules::ComposeId(prefix, serial, at);
      const char third = at[2];
      at += rules::kNumberLength;
      const std::string& end = rowEnds[choice];
      std::memcpy(at, end.data(), end.size());
      at += end.size();
      if (!settings.categories.empty()) {
        category.clear();
        rows.fields(category,
                    std::array<Field, 1>{{{"category", rules::NameOf(rules::CategoryOf(third))}}},
                    false);
        std::memcpy(at, category.data(), category.size());
        at += category.size();
      }
      at = rows.end(at);
      out.commit(static_cast<std::size_t>(at - row));
    }
    progress.update(done);
  }
  return 0;
}

Runner addGen(CLI::App& app, const Words& m) {
  struct Options {
    GenSettings settings;
    std::vector<int> places;  // letter values
    rules::Sex sex = rules::Sex::Male;
    bool currentOnly = false;
    const CLI::Option* seed = nullptr;
    const CLI::Option* place = nullptr;
    const CLI::Option* sexGiven = nullptr;
    const CLI::Option* category = nullptr;
    const CLI::Option* current = nullptr;
    CommonOptions common;

    // The settings as runGen takes them: without --place or --sex every place and both sexes;
    // the places in letter-value order, less those --current leaves out.
    GenSettings settingsOf(const Words& m) {
      GenSettings gen = settings;
      gen.common = common.settings(m);
      if (seed->count() == 0) {
        std::random_device entropy;
        gen.seed = (std::uint64_t{entropy()} << 32) | entropy();
      }
      // The places as letters, the categories as names, as the plan takes them.
      std::vector<std::string> letters;
      for (const int value : places) letters.emplace_back(1, static_cast<char>(rules::PlaceByLetterValue(value)->letter));
      rules::GenRequest request;
      request.kind = gen.kind;
      request.places.assign(letters.begin(), letters.end());
      if (sexGiven->count() != 0) request.sex = sex;
      for (const rules::Category each : settings.categories) request.categories.push_back(rules::NameOf(each));
      request.current = currentOnly;
      request.since2023 = gen.since2023;
      request.placesGiven = place->count() != 0;
      request.sexGiven = sexGiven->count() != 0;
      request.categoriesGiven = category->count() != 0;
      request.currentGiven = current->count() != 0;
      const rules::GenPlan plan = rules::PlanGen(request);
      switch (plan.refusal) {
        case rules::GenRefusal::None: break;
        case rules::GenRefusal::NotDrawn: refuse(m.noMobileNumbers.text);
        case rules::GenRefusal::SinceNeedsBusiness: refuse(m.sinceNeedsBusiness.text);
        case rules::GenRefusal::IdentityOnly: refuse(filled(m.identityOnly, "--" + plan.detail));
        case rules::GenRefusal::UnknownPlace:
          refuse(filled(m.badPlace, place->results().empty() ? "" : shownValue(place->results().front())));
        case rules::GenRefusal::NoneCurrent: refuse(filled(m.notCurrent, plan.detail));
        case rules::GenRefusal::CategoryNeedsResident: refuse(m.categoryNeedsResident.text);
        case rules::GenRefusal::UnknownCategory: refuse(filled(m.badChoice, m.categoryWord.text, plan.detail));
      }
      gen.places = plan.places;
      gen.sexes = plan.sexes;
      gen.categories = plan.categories;
      return gen;
    }
  };
  auto options = std::make_shared<Options>();
  GenSettings& s = options->settings;
  CLI::App* command = addCommand(app, "gen", m.gen, m);
  command->add_option("-n,--count", s.count, m.genCount)
      ->type_name(m.countValue)
      ->check(wholeNumber(m.badCount));
  options->seed =
      command->add_option("--seed", s.seed, m.seed)->type_name(m.seedValue)->check(wholeNumber(m.badSeed));
  command->add_option("-k,--kind", s.kind, describing<rules::IdKind>(m.kind, rules::kKindNames, m))
      ->type_name(m.kindValue)
      ->transform(oneOf<rules::IdKind>(rules::kKindNames, m.kindWord, m));
  options->place = command->add_option("-p,--place", options->places, m.place)
                       ->type_name(m.listValue)
                       ->delimiter(',')
                       ->allow_extra_args(false)
                       ->transform(placeName(m));
  options->sexGiven =
      command->add_option("--sex", options->sex, describing<rules::Sex>(m.sex, rules::kSexNames, m))
          ->type_name(m.sexValue)
          ->transform(oneOf<rules::Sex>(rules::kSexNames, m.sexWord, m));
  options->category =
      command
          ->add_option("--category", s.categories,
                       describing<rules::Category>(m.category, rules::kCategoryNames, m))
          ->type_name(m.listValue)
          ->delimiter(',')
          ->allow_extra_args(false)
          ->transform(oneOf<rules::Category>(rules::kCategoryNames, m.categoryWord, m));
  command->add_flag("--unique", s.unique, m.unique);
  options->current = command->add_flag("--current", options->currentOnly, m.current);
  command->add_flag("--since-2023", s.since2023, m.since2023);
  options->common.addTo(*command, m);
  command->footer(m.genFooter);
  return [options, &m] { return runGen(options->settingsOf(m)); };
}

}  // namespace cli
