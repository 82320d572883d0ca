// Only one copy runs per user: real processes of the program against its single-copy lock.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

namespace {

// Whether process `pid` holds a whole-file lock, read from the kernel's lock table so that
// looking never takes the lock itself.
bool holdsFileLock(qint64 pid) {
  QFile locks(QStringLiteral("/proc/locks"));
  if (!locks.open(QIODevice::ReadOnly)) return false;
  const QByteArray owner = QByteArray::number(pid);
  for (const QByteArray& line : locks.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() > 4 && fields[1] == "FLOCK" && fields[4] == owner) return true;
  }
  return false;
}

}  // namespace

class SingleCopyTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void secondCopyEndsAtOnceAndAKilledCopyLeavesNoLock();

 private:
  void start(QProcess& process);
  QTemporaryDir m_runtimeDir;
};

void SingleCopyTest::initTestCase() {
  QVERIFY(m_runtimeDir.isValid());
  QFile::setPermissions(m_runtimeDir.path(),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void SingleCopyTest::start(QProcess& process) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir.path());
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(QStringLiteral(TALOMA_EXECUTABLE), {});
  QVERIFY(process.waitForStarted());
}

void SingleCopyTest::secondCopyEndsAtOnceAndAKilledCopyLeavesNoLock() {
  QProcess first;
  start(first);
  QTRY_VERIFY_WITH_TIMEOUT(holdsFileLock(first.processId()), 30000);

  QProcess second;
  start(second);
  QVERIFY(second.waitForFinished(30000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QCOMPARE(second.readAllStandardOutput(), QByteArray());
  QCOMPARE(first.state(), QProcess::Running);

  ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
  QVERIFY(first.waitForFinished(30000));

  QProcess third;
  start(third);
  QTRY_VERIFY_WITH_TIMEOUT(holdsFileLock(third.processId()), 30000);
  QCOMPARE(third.state(), QProcess::Running);
  third.terminate();
  QVERIFY(third.waitForFinished(30000));
}

QTEST_GUILESS_MAIN(SingleCopyTest)
#include "test_single_copy.moc"
