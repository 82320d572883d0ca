// The floor for `taloma-id check -s`: a plain loop that reads a file in 64 KiB blocks, splits it
// into lines with memchr and checks each line as a national number. Prints how many were valid.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// Letter values, A = 10 in the order of the alphabet the numbers use.
constexpr char kLetters[] = "ABCDEFGHJKLMNPQRSTUVXYWZIO";

bool plainValid(const char* s, std::size_t n, const int* letterValue) {
  if (n != 10) return false;
  const int value = letterValue[static_cast<unsigned char>(s[0])];
  if (value == 0 || (s[1] != '1' && s[1] != '2')) return false;
  int sum = value / 10 + 9 * (value % 10);
  static constexpr int kWeights[] = {8, 7, 6, 5, 4, 3, 2, 1, 1};
  for (int i = 1; i < 10; ++i) {
    const int digit = s[i] - '0';
    if (digit < 0 || digit > 9) return false;
    sum += kWeights[i - 1] * digit;
  }
  return sum % 10 == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: floor_check FILE\n");
    return 2;
  }
  int letterValue[256] = {};
  for (int i = 0; i < 26; ++i) letterValue[static_cast<unsigned char>(kLetters[i])] = 10 + i;

  const int fd = open(argv[1], O_RDONLY);
  if (fd < 0) return 2;
  static char buffer[64 * 1024];
  std::size_t kept = 0;
  long valid = 0;
  for (;;) {
    const ssize_t got = read(fd, buffer + kept, sizeof buffer - kept);
    if (got <= 0) break;
    const char* at = buffer;
    const char* const end = buffer + kept + got;
    while (const char* newline = static_cast<const char*>(std::memchr(at, '\n', end - at))) {
      valid += plainValid(at, static_cast<std::size_t>(newline - at), letterValue);
      at = newline + 1;
    }
    kept = static_cast<std::size_t>(end - at);
    std::memmove(buffer, at, kept);
  }
  std::printf("%ld\n", valid);
  return 0;
}
