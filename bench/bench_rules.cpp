// Time per call of VerifyNum and CheckDigit.
#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

#include "rules/id_number.h"

namespace {

// Every verdict kind, so no one branch is all the predictor ever sees.
constexpr std::array<std::u16string_view, 16> kTexts = {
    u"A123456789", u"B200000004",  u"Z100000002", u"A100000010",  u"O200000006", u"W100000001",
    u"A123456788", u"A100000011",  u"a123456789", u"台123456789", u"A323456789", u"A023456789",
    u"A12345678X", u"A1234567８9", u"F131104093", u"Q256213771",
};

void BM_VerifyNum(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rules::VerifyNum(kTexts[i++ % kTexts.size()]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VerifyNum);

void BM_VerifyNum_Valid(benchmark::State& state) {
  std::u16string_view text = u"A123456789";
  for (auto _ : state) {
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(rules::VerifyNum(text));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VerifyNum_Valid);

void BM_CheckDigit(benchmark::State& state) {
  std::array<std::array<int, 8>, 16> digits{};
  std::array<int, 16> letterValues{};
  for (std::size_t n = 0; n < digits.size(); ++n) {
    letterValues[n] = 10 + static_cast<int>(n * 7 % 26);
    for (std::size_t k = 0; k < 8; ++k) digits[n][k] = static_cast<int>((n * 31 + k * 17) % 10);
    digits[n][0] = 1 + static_cast<int>(n % 2);
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t n = i++ % digits.size();
    benchmark::DoNotOptimize(letterValues[n]);
    benchmark::DoNotOptimize(rules::CheckDigit(letterValues[n], digits[n]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CheckDigit);

}  // namespace

BENCHMARK_MAIN();
