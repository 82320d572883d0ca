// What a seeded batch of numbers is drawn from, shared by taloma-id's gen and the browser page so
// that the same seed and choices give the same numbers in both: the choices of place and second
// character in their fixed order, and the serial digits a choice takes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/id_core.h"
#include "rules/other_kinds.h"
#include "rules/random.h"

namespace rules {

// One place with one second character.
struct Choice {
  const Place* place = nullptr;
  Sex sex = Sex::Male;
  IdPrefix prefix;
};

// The places in the order given (letter-value order, by convention), each with each second
// character of `kind` for each sex in `sexes`, male ones first.
std::vector<Choice> Choices(IdKind kind, std::span<const Place* const> places,
                            std::span<const Sex> sexes);

// Turns a drawn value into a choice and the serial digits (positions 3 to 9). With resident
// categories chosen, the third digit is one of theirs.
class SerialSpace {
 public:
  static constexpr std::uint64_t kSerials = 10'000'000;
  static constexpr std::uint64_t kAfterThird = 1'000'000;

  explicit SerialSpace(std::span<const Category> categories = {});

  // Every serial, without chosen categories.
  bool plain() const noexcept { return m_thirds.empty(); }

  // How many serials each choice has.
  std::uint64_t perChoice() const noexcept {
    return m_thirds.empty() ? kSerials : m_thirds.size() * kAfterThird;
  }
  // The serial digits for a value below perChoice().
  std::uint32_t serial(std::uint64_t rest) const noexcept {
    if (m_thirds.empty()) return static_cast<std::uint32_t>(rest);
    return static_cast<std::uint32_t>(m_thirds[rest / kAfterThird] * kAfterThird +
                                      rest % kAfterThird);
  }

 private:
  std::vector<std::uint32_t> m_thirds;
};

// A batch drawn from a seed: each number one bounded draw below choices x serials (or, for
// numbers that must not repeat, the next value of the seed's permutation of that range).
class NumberDraw {
 public:
  NumberDraw(std::vector<Choice> choices, SerialSpace serials, std::uint64_t seed, bool unique);

  // How many different numbers there are to draw.
  std::uint64_t size() const noexcept { return m_bound; }

  const std::vector<Choice>& choices() const noexcept { return m_choices; }

  // The next number: the index of its choice, and its serial digits in `serial`.
  std::size_t next(std::uint32_t& serial) noexcept {
    const std::uint64_t draw = m_unique ? m_permutation(m_drawn++) : m_random.below(m_bound);
    if (m_serials.plain()) {
      // A division by a constant is a multiplication.
      serial = static_cast<std::uint32_t>(draw % SerialSpace::kSerials);
      return static_cast<std::size_t>(draw / SerialSpace::kSerials);
    }
    serial = m_serials.serial(draw % m_serials.perChoice());
    return static_cast<std::size_t>(draw / m_serials.perChoice());
  }

  // The next number as text.
  std::string nextNumber();

 private:
  std::vector<Choice> m_choices;
  SerialSpace m_serials;
  std::uint64_t m_bound;
  bool m_unique;
  Xoshiro256StarStar m_random;
  Permutation m_permutation;
  std::uint64_t m_drawn = 0;
};

// What a batch is asked for, as every front end takes it: taloma-id gen, the C interface, the npm
// package and the Python module. Places are letters or names and categories names; `given` says
// which options were given at all, since one that the kind does not take is refused even empty.
struct GenRequest {
  IdKind kind = IdKind::National;
  std::vector<std::string_view> places;      // none: every place
  std::optional<Sex> sex;                    // none: either
  std::vector<std::string_view> categories;  // none: every category
  bool current = false;                      // only letters still issued
  bool since2023 = false;                    // 統一編號 that only the 2023 rule accepts
  bool placesGiven = false, sexGiven = false, categoriesGiven = false, currentGiven = false;
};

// Why a request draws nothing, in the order it is looked for.
enum class GenRefusal : std::uint8_t {
  None,
  NotDrawn,               // mobile numbers: any of them may be a real person's
  SinceNeedsBusiness,     // since2023 for another kind than 統一編號
  IdentityOnly,           // a place, sex, category or current for another kind
  UnknownPlace,           // a place that no letter or name names, or none at all
  NoneCurrent,            // every place chosen is no longer issued
  CategoryNeedsResident,  // categories for another kind than resident
  UnknownCategory,        // a category that no name names
};

// A request settled: what to draw from, or why nothing can be. `detail` names what was wrong: the
// option (IdentityOnly: "place", "sex", "category" or "current"), the value (UnknownPlace,
// UnknownCategory) or the letters left out (NoneCurrent).
struct GenPlan {
  GenRefusal refusal = GenRefusal::None;
  std::string detail;
  IdKind kind = IdKind::National;
  std::vector<const Place*> places;    // distinct, in letter-value order
  std::vector<Sex> sexes;              // male first
  std::vector<Category> categories;    // distinct, in order; empty for all
  bool since2023 = false;
};

GenPlan PlanGen(const GenRequest& request);

// A plan's numbers from a seed, one at a time, as taloma-id gen prints them.
class PlannedDraw {
 public:
  PlannedDraw(const GenPlan& plan, std::uint64_t seed, bool unique);
  std::uint64_t size() const noexcept { return m_size; }
  std::string next();

 private:
  std::unique_ptr<NumberDraw> m_identity;
  std::unique_ptr<OtherDraw> m_other;
  std::uint64_t m_size = 0;
};

}  // namespace rules
