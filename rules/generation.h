// What a seeded batch of numbers is drawn from, shared by taloma-id's gen and the browser page so
// that the same seed and choices give the same numbers in both: the choices of place and second
// character in their fixed order, and the serial digits a choice takes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rules/id_core.h"
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

}  // namespace rules
