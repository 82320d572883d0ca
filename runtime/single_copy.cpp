// Single-copy lock: an advisory file lock held for the life of the process.
#include "runtime/single_copy.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#else
#include <QLockFile>

#include <memory>
#endif

namespace single_copy {

QString lockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return QDir(folder).filePath(QStringLiteral("taloma.lock"));
}

#ifdef Q_OS_UNIX
bool anotherCopyHoldsLock() {
  static int heldFd = -1;
  if (heldFd >= 0) return false;
  const QByteArray path = QFile::encodeName(lockPath());
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;  // no lock to be had: better to run than to refuse to start
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
  }
  heldFd = fd;
  return false;
}
#else
bool anotherCopyHoldsLock() {
  static std::unique_ptr<QLockFile> held;
  if (held) return false;
  auto lock = std::make_unique<QLockFile>(lockPath());
  lock->setStaleLockTime(0);
  if (!lock->tryLock()) return lock->error() == QLockFile::LockFailedError;
  held = std::move(lock);
  return false;
}
#endif

}  // namespace single_copy
