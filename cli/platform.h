// What taloma-id needs of the operating system, in one place: arguments, files, standard streams,
// terminals, signals and the user's language. Everything else in cli/ is the same on every system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cli::platform {

inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;
inline constexpr int kStandardError = 2;

// Prepares the process: standard streams in binary, a reader that goes away ends the program
// silently as it ends any filter. Returns the arguments as UTF-8.
std::vector<std::string> start(int argc, char** argv);

// Opens the file named in UTF-8 for reading; the descriptor, or -1 with the error in `error`.
// A folder is refused with EISDIR.
int openForReading(const std::string& name, int& error);
void close(int fd);

// Reads up to `size` bytes; how many, 0 at the end, -1 on an error (errno). Retries interrupted
// reads.
long readSome(int fd, char* into, std::size_t size);

// Writes all of `bytes`; false with errno set when the stream failed. A reader that has gone away
// ends the program at once, as it would any Unix filter (status 141 where no signal does it).
bool writeAll(int fd, std::string_view bytes);

bool isTerminal(int fd);
// True when both descriptors are terminals and the same one.
bool sameTerminal(int first, int second);

// Whether `name` names an existing file (of any kind).
bool exists(const std::string& name);

// Creates the file named in UTF-8 for writing, readable and writable by its owner alone; -1 with
// the error in `error` (EEXIST when it exists: it is never opened then).
int createPrivate(const std::string& name, int& error);
// Whether users other than the file's owner may read it (never on Windows, whose files are the
// owner's unless shared).
bool othersMayRead(int fd);
void removeFile(const std::string& name);

// Fills `into` from the system's random source; false when it gives none.
bool randomBytes(unsigned char* into, std::size_t size);

// Runs `cleanup` (which may only write to a descriptor) when Ctrl-C, a hang-up, a termination
// request or a closed pipe ends the program, then lets that end it as usual.
void onInterrupt(void (*cleanup)());

// The user's language setting when no variable names one: empty on Unix, where the variables are
// the setting; the user interface language on Windows.
std::string systemLanguage();

// Leaves the program at once with `status`, without running destructors.
[[noreturn]] void quit(int status);

}  // namespace cli::platform
