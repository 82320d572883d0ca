// The platform under the windows. On Unix fontconfig reads its configuration and every font's
// entry from its cache the first time a font is asked for (6 ms, a tenth of the start-up), which
// can as well happen while the window system starts; the single-copy lock is an advisory file
// lock held for the life of the process, in a folder that no other user can write to, so no other
// user can hold it or point it elsewhere; the mail program is started through xdg-open, whose
// status tells whether one was found. On Windows the lock is a named mutex of the user's session
// and the mail program comes through the shell's association for mailto.
#include "runtime/platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>
#endif

namespace platform {
namespace {

QUrl mailUrl(const QString& address) {
  QUrl url;
  url.setScheme(QStringLiteral("mailto"));
  url.setPath(address);
  return url;
}

#ifndef Q_OS_WIN

QString safeForFileName(QString text) {
  for (QChar& c : text) {
    if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'.' && c != u'-') c = u'_';
  }
  return text;
}

// The display the program shows on, as its window system names it; ":0.1" and ":0" are one
// desktop session.
QString displayName() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QStringLiteral("xcb")) {
    QString display = qEnvironmentVariable("DISPLAY");
    const qsizetype colon = display.lastIndexOf(u':');
    const qsizetype dot = display.indexOf(u'.', colon);
    if (colon >= 0 && dot > colon) display.truncate(dot);
    return display;
  }
  if (platform.startsWith(QStringLiteral("wayland"))) {
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    return display.isEmpty() ? QStringLiteral("wayland-0") : display;
  }
  return platform;
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(m_fd, other.m_fd);
    return *this;
  }
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  int get() const { return m_fd; }
  int release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd;
};

// Opens `path` when it is a real folder (no link on its last step) owned by this user. With
// `makePrivate`, a folder of our own that others may enter is closed to them; otherwise such a
// folder is refused.
Descriptor openPrivateFolder(const QString& path, bool makePrivate) {
  if (!QDir::isAbsolutePath(path)) return Descriptor();
  Descriptor folder(
      ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat status {};
  if (folder.get() < 0 || ::fstat(folder.get(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != ::geteuid()) {
    return Descriptor();
  }
  if ((status.st_mode & 077) != 0 && (!makePrivate || ::fchmod(folder.get(), 0700) != 0)) {
    return Descriptor();
  }
  return folder;
}

QString ownFolderPath() {
  QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
  if (!QDir::isAbsolutePath(cache)) {
    const QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home)) return {};
    cache = home + QStringLiteral("/.cache");
  }
  return cache + QStringLiteral("/taloma");
}

// The folder the lock lives in (see anotherCopyHoldsLock), opened, with its path in `path`; no
// folder when none can be had safely.
Descriptor openLockFolder(QString* path) {
  // Read straight from the environment: asking Qt for the runtime folder makes it warn on
  // standard error when the variable is unset. Without the variable the session's folder is
  // still where logind made it, and a copy started with and one without must meet there.
  for (const QString& runtime :
       {qEnvironmentVariable("XDG_RUNTIME_DIR"),
        QStringLiteral("/run/user/%1").arg(static_cast<qulonglong>(::geteuid()))}) {
    *path = runtime;
    if (Descriptor folder = openPrivateFolder(*path, false); folder.get() >= 0) return folder;
  }
  *path = ownFolderPath();
  if (path->isEmpty()) return Descriptor();
  const QByteArray encoded = QFile::encodeName(*path);
  ::mkdir(QFile::encodeName(QFileInfo(*path).path()).constData(), 0700);
  ::mkdir(encoded.constData(), 0700);
  return openPrivateFolder(*path, true);
}

// Opens the lock file in `folder` for reading, which is all flock needs, creating it when
// missing. The folder is the user's alone, so a link or a stranger's file there was put by the
// user or by root: a link is replaced, anything else but the user's own regular file refused.
Descriptor openLockFile(const Descriptor& folder, const QByteArray& name) {
  const int flags = O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  Descriptor file(::openat(folder.get(), name.constData(), flags, 0600));
  if (file.get() < 0 && errno == ELOOP && ::unlinkat(folder.get(), name.constData(), 0) == 0) {
    file = Descriptor(::openat(folder.get(), name.constData(), flags | O_EXCL, 0600));
  }
  struct stat status {};
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_uid != ::geteuid()) {
    return Descriptor();
  }
  return file;
}

// The lock file's name for the desktop session the program shows on (its display) on this host,
// reduced to characters that are safe in a file name.
QString lockName() {
  return QStringLiteral("taloma@") + safeForFileName(QSysInfo::machineHostName()) +
         QStringLiteral("@") + safeForFileName(displayName()) + QStringLiteral(".lock");
}

#endif

}  // namespace

#ifndef Q_OS_WIN

FontsReadAhead::FontsReadAhead() {
  // fontconfig loads its configuration once for the process, whichever thread asks first.
  try {
    m_reading = std::thread([] { FcInit(); });
  } catch (const std::system_error&) {
    // No thread to be had: the first font reads it, as it would anyway.
  }
}

bool anotherCopyHoldsLock() {
  static int heldFd = -1;
  if (heldFd >= 0) return false;
  QString path;
  const Descriptor folder = openLockFolder(&path);
  if (folder.get() < 0) return false;
  Descriptor file = openLockFile(folder, QFile::encodeName(lockName()));
  if (file.get() < 0) return false;
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK;
  heldFd = file.release();
  return false;
}

void openMailProgram(const QString& address, QObject* context, std::function<void(bool)> done) {
  // xdg-open ends with a failure status when no program takes mailto, and on some desktops only
  // when the mail program closes. So the process belongs to no window: closing the one that asked,
  // or the program, leaves it running, and its answer reaches `context` only while that lives.
  // Until it ends it is held by an object that is never destroyed, not even at exit.
  static QObject* const running = new QObject;
  auto* process = new QProcess(running);
  QObject::connect(process, &QProcess::finished, context,
                   [done](int status, QProcess::ExitStatus how) {
                     done(how == QProcess::NormalExit && status == 0);
                   });
  QObject::connect(process, &QProcess::errorOccurred, context, [done](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) done(false);
  });
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) process->deleteLater();
  });
  // What xdg-open says goes nowhere: the window tells the user itself.
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  process->start(QStringLiteral("xdg-open"), {mailUrl(address).toString()});
}

#else

FontsReadAhead::FontsReadAhead() = default;

bool anotherCopyHoldsLock() {
  // One mutex per user in the session's own namespace: another user's session, or another
  // session of the same user, has a namespace of its own.
  static HANDLE held = nullptr;
  if (held != nullptr) return false;
  wchar_t user[256] = L"";
  DWORD size = 256;
  GetUserNameW(user, &size);
  const std::wstring name = L"Local\\Taloma-single-copy-" + std::wstring(user);
  HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
  if (mutex == nullptr) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return true;
  }
  held = mutex;
  return false;
}

void openMailProgram(const QString& address, QObject* context, std::function<void(bool)> done) {
  // The shell says at once whether mailto has a program.
  const bool started = QDesktopServices::openUrl(mailUrl(address));
  QTimer::singleShot(0, context, [done, started] { done(started); });
}

#endif

QStringList designedMingFaces() {
  return {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
          QStringLiteral("AR PL UMing TW MBE")};
}

QStringList mingFaces() {
  return designedMingFaces() + QStringList{QStringLiteral("Noto Serif CJK TC"),
                                           QStringLiteral("Noto Sans CJK TC"),
                                           QStringLiteral("WenQuanYi Zen Hei")};
}

}  // namespace platform
