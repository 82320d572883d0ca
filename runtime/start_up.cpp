// The start-up message handler: one clear line when no display can be reached, no noise otherwise.
#include "runtime/start_up.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace start_up {
namespace {

QtMessageHandler g_previous = nullptr;
bool g_starting = false;
QStringList g_held;  // formatted as Qt would print them

QString environmentOrUnset(const char* name) {
  return qEnvironmentVariableIsSet(name)
             ? QStringLiteral("%1=\"%2\"").arg(QLatin1String(name), qEnvironmentVariable(name))
             : QStringLiteral("%1 unset").arg(QLatin1String(name));
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  // Qt looks for its runtime folder while it starts and warns when the variable is unset or the
  // folder is not private; the single-copy lock keeps a safe folder of its own and needs neither.
  if (text.startsWith(QStringLiteral("QStandardPaths: ")) &&
      text.contains(QStringLiteral("runtime"))) {
    return;
  }
  if (!g_starting) {
    g_previous(type, context, text);
  } else if (type != QtFatalMsg) {
    g_held.append(qFormatLogMessage(type, context, text));
  } else {
    // Qt's own words would abort the program and tell the user to reinstall it.
    std::fprintf(stderr, "taloma: no display could be reached (%s, %s)\n",
                 qPrintable(environmentOrUnset("DISPLAY")),
                 qPrintable(environmentOrUnset("WAYLAND_DISPLAY")));
    std::fflush(stderr);
    std::_Exit(1);
  }
}

}  // namespace

void beginQuietly() {
  g_starting = true;
  g_previous = qInstallMessageHandler(handle);
}

void started() {
  g_starting = false;
  for (const QString& message : std::exchange(g_held, {})) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
}

}  // namespace start_up
