// The runtime the window tests build windows with: records what the windows ask of the platform
// and scripts its answers.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

#include "runtime/qt_runtime.h"

// Key events, pending events and modal windows stay real, so the nesting of handlers is the
// program's own; everything that would leave the process or wait for a person is recorded.
class FakeRuntime : public QtRuntime {
 public:
  struct MessageBoxCall {
    QString prompt;
    QString title;
  };

  bool previousInstance() override { return previousInstanceAnswer; }
  void end() override { ++ends; }
  void showModal(QDialog& window) override;
  void messageBox(QWidget* parent, const QString& prompt, const QString& title) override;
  void setClipboardText(const QString& text) override;
  float timer() override { return clock; }
  void randomize(float seed) override;
  double rnd() override;
  void sendHomeKey() override;
  void doEvents() override;
  void beep() override { ++beeps; }
  bool openMailLink(const QString& address) override;

  // Scripted draws come first; once they run out the generator below takes over.
  void scriptDraws(std::initializer_list<double> draws);

  bool previousInstanceAnswer = false;
  bool mailProgramStarts = true;
  float clock = 43200.0F;
  int ends = 0;
  int beeps = 0;
  int homeKeys = 0;
  int pendingEventRuns = 0;
  int modalShows = 0;
  int draws = 0;
  QList<MessageBoxCall> messageBoxes;
  QStringList clipboardSets;
  QString clipboard;
  QList<float> seeds;
  QStringList mailLinks;

 private:
  std::deque<double> m_scripted;
  MixingRandom m_fallback{20260606};
};
