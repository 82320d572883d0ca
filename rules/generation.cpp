// The choices, serial space and draws of a seeded batch.
#include "rules/generation.h"

#include <algorithm>

#include "rules/kinds.h"
#include "rules/words.h"

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

GenPlan PlanGen(const GenRequest& request) {
  GenPlan plan;
  plan.kind = request.kind;
  plan.since2023 = request.since2023;
  const auto refuse = [&plan](GenRefusal refusal, std::string_view detail = {}) {
    plan.refusal = refusal;
    plan.detail = detail;
    return plan;
  };
  if (EntryOf(request.kind).drawable == 0 && !IsIdentityKind(request.kind)) return refuse(GenRefusal::NotDrawn);
  if (request.since2023 && request.kind != IdKind::Business) return refuse(GenRefusal::SinceNeedsBusiness);
  if (!IsIdentityKind(request.kind)) {
    for (const auto& [given, name] : {std::pair{request.placesGiven, "place"}, {request.sexGiven, "sex"},
                                      {request.categoriesGiven, "category"}, {request.currentGiven, "current"}}) {
      if (given) return refuse(GenRefusal::IdentityOnly, name);
    }
    return plan;
  }
  // The places in letter-value order, each once, less those no longer issued when asked.
  std::vector<int> chosen;
  for (const std::string_view name : request.places) {
    const Place* place = PlaceByName(name);
    if (place == nullptr) return refuse(GenRefusal::UnknownPlace, name);
    chosen.push_back(place->letterValue);
  }
  if (request.placesGiven && chosen.empty()) return refuse(GenRefusal::UnknownPlace);
  std::string leftOut;
  for (const Place& place : Places()) {
    if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), place.letterValue) == chosen.end()) continue;
    if (request.current && place.lastIssued != 0) {
      leftOut += (leftOut.empty() ? "" : ", ") + std::string(1, static_cast<char>(place.letter));
    } else {
      plan.places.push_back(&place);
    }
  }
  if (plan.places.empty()) return refuse(GenRefusal::NoneCurrent, leftOut);
  if (request.sex != Sex::Female) plan.sexes.push_back(Sex::Male);
  if (request.sex != Sex::Male) plan.sexes.push_back(Sex::Female);
  if (request.categoriesGiven && request.kind != IdKind::Resident) return refuse(GenRefusal::CategoryNeedsResident);
  for (const std::string_view name : request.categories) {
    if (std::none_of(std::begin(kCategoryNames), std::end(kCategoryNames),
                     [name](const auto& named) { return named.name == name; })) {
      return refuse(GenRefusal::UnknownCategory, name);
    }
  }
  for (const auto& [name, category] : kCategoryNames) {
    if (std::find(request.categories.begin(), request.categories.end(), name) != request.categories.end()) {
      plan.categories.push_back(category);
    }
  }
  return plan;
}

PlannedDraw::PlannedDraw(const GenPlan& plan, std::uint64_t seed, bool unique) {
  if (IsIdentityKind(plan.kind)) {
    m_identity = std::make_unique<NumberDraw>(Choices(plan.kind, plan.places, plan.sexes),
                                              SerialSpace(plan.categories), seed, unique);
    m_size = m_identity->size();
  } else {
    m_other = std::make_unique<OtherDraw>(plan.kind, seed, unique, plan.since2023);
    m_size = m_other->size();
  }
}

std::string PlannedDraw::next() { return m_identity ? m_identity->nextNumber() : m_other->next(); }

}  // namespace rules
