// The floor for `taloma-id gen`: a plain loop that formats 10^7 ten-character numbers (a letter
// and nine digits of a counter) into a 64 KiB buffer and writes it to standard output.
#include <unistd.h>

#include <cstdint>
#include <cstring>

int main() {
  static char buffer[64 * 1024];
  std::size_t used = 0;
  for (std::uint32_t i = 0; i < 10'000'000; ++i) {
    if (sizeof buffer - used < 11) {
      if (write(STDOUT_FILENO, buffer, used) < 0) return 1;
      used = 0;
    }
    char* row = buffer + used;
    row[0] = static_cast<char>('A' + i % 26);
    std::uint32_t n = i;
    for (int d = 9; d >= 1; --d) {
      row[d] = static_cast<char>('0' + n % 10);
      n /= 10;
    }
    row[10] = '\n';
    used += 11;
  }
  return write(STDOUT_FILENO, buffer, used) < 0 ? 1 : 0;
}
