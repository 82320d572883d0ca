// The recording runtime used by the window tests.
#include "fake_runtime.h"

void FakeRuntime::showModal(QDialog& window) {
  ++modalShows;
  QtRuntime::showModal(window);
}

void FakeRuntime::messageBox(QWidget* /*parent*/, const QString& prompt, const QString& title) {
  messageBoxes.append({prompt, title});
}

void FakeRuntime::setClipboardText(const QString& text) {
  clipboard = text;
  clipboardSets.append(text);
}

void FakeRuntime::randomize(float seed) {
  seeds.append(seed);
  m_fallback.mix(seed);
}

double FakeRuntime::rnd() {
  ++draws;
  if (m_scripted.empty()) return m_fallback.next();
  const double r = m_scripted.front();
  m_scripted.pop_front();
  return r;
}

void FakeRuntime::sendHomeKey() {
  ++homeKeys;
  QtRuntime::sendHomeKey();
}

void FakeRuntime::doEvents() {
  ++pendingEventRuns;
  QtRuntime::doEvents();
}

bool FakeRuntime::openMailLink(const QString& address) {
  mailLinks.append(address);
  return mailProgramStarts;
}

void FakeRuntime::scriptDraws(std::initializer_list<double> draws) {
  m_scripted.insert(m_scripted.end(), draws);
}
