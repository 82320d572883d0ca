// What the windows need that differs between systems: reading the font configuration ahead, the
// single-copy lock, starting the mail program, and the Traditional-Chinese faces to look for. The
// rest of the program is the same on every system.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <thread>

class QObject;

namespace platform {

// Reads the system's font configuration on a thread of its own from construction, while the
// window system starts, so that the first font the window asks for does not wait for it. Made
// before the application object; wait() before the first font is asked for, so that the two
// never read it both. Where fonts come from the system itself (Windows) there is nothing to read.
class FontsReadAhead {
 public:
  FontsReadAhead();
  ~FontsReadAhead() { wait(); }
  FontsReadAhead(const FontsReadAhead&) = delete;
  FontsReadAhead& operator=(const FontsReadAhead&) = delete;

  void wait() {
    if (m_reading.joinable()) m_reading.join();
  }

 private:
  std::thread m_reading;
};

// Takes the single-copy lock for this process if it is free. On Unix it is a file named for the
// host and the display the program shows on, in the user's runtime folder when that belongs to
// the user alone (XDG_RUNTIME_DIR, or /run/user/<uid> when that is unset), otherwise in a folder
// of the program's own under the user's cache folder, made private. True when another running copy of
// this user's session holds it; false when this process holds it now (or already did), and when
// no lock can be had safely: better to run than to refuse to start. The lock goes with its holder,
// so a crashed copy never keeps a new one from starting.
bool anotherCopyHoldsLock();

// Starts the user's mail program with a new message to `address` and returns at once. `done` is
// called later on the event loop, with false when no mail program could be started, but not once
// `context` is gone; the mail program is never stopped with it.
void openMailProgram(const QString& address, QObject* context, std::function<void(bool)> done);

// The faces that show the window's own face, 新細明體, at its own sizes (AR PL UMing is drawn the same size).
QStringList designedMingFaces();

// Those, then the faces that stand in for them, in order of preference.
QStringList mingFaces();

}  // namespace platform
