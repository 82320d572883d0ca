// The choices, serial space and draws of a seeded batch.
#include "rules/generation.h"

namespace rules {

std::vector<Choice> Choices(IdKind kind, std::span<const Place* const> places,
                            std::span<const Sex> sexes) {
  std::vector<Choice> choices;
  for (const Place* place : places) {
    for (const Sex sex : sexes) {
      for (const char second : SecondCharacters(kind, sex)) {
        choices.push_back({place, sex, MakePrefix(*place, second)});
      }
    }
  }
  return choices;
}

SerialSpace::SerialSpace(std::span<const Category> categories) {
  for (const Category category : categories) {
    for (const char third : ThirdCharacters(category)) m_thirds.push_back(third - '0');
  }
}

NumberDraw::NumberDraw(std::vector<Choice> choices, SerialSpace serials, std::uint64_t seed,
                       bool unique)
    : m_choices(std::move(choices)),
      m_serials(std::move(serials)),
      m_bound(m_choices.size() * m_serials.perChoice()),
      m_unique(unique),
      m_random(seed),
      m_permutation(m_bound, seed) {}

std::string NumberDraw::nextNumber() {
  std::uint32_t serial = 0;
  const Choice& choice = m_choices[next(serial)];
  std::string number(kNumberLength, '\0');
  ComposeId(choice.prefix, serial, number.data());
  return number;
}

}  // namespace rules
