// Lines and columns of the numbers found, counted lazily, each time up to the next number, from
// the bytes the finder holds.
#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

class Positions {
 public:
  // Counts on to input offset `offset` through `held`, the bytes that the finder holds from input
  // offset `base`, which reach past `offset`. A byte-order mark that opens the input is no
  // character of the first line.
  void countUpTo(std::uint64_t offset, std::string_view held, std::uint64_t base);

  std::uint64_t line() const noexcept { return m_line; }      // from 1
  std::uint64_t column() const noexcept { return m_column + 1; }  // from 1, in characters

 private:
  std::uint64_t m_counted = 0;
  std::uint64_t m_line = 1;
  std::uint64_t m_column = 0;  // characters since the line's start, up to m_counted
};

}  // namespace engine
