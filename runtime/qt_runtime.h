// The runtime services carried out with Qt.
#pragma once

#include "runtime/mixing_random.h"
#include "runtime/runtime.h"

class QtRuntime : public Runtime {
 public:
  QtRuntime();

  void showModal(QDialog& window) override;
  void messageBox(QWidget* parent, const QString& prompt, const QString& title) override;
  void setClipboardText(const QString& text) override;
  float timer() override;
  void randomize(float seed) override;
  double rnd() override;
  void sendHomeKey() override;
  void doEvents() override;
  void beep() override;
  void openMailLink(const QString& address, QObject* context,
                    std::function<void(bool)> done) override;

 private:
  MixingRandom m_random;
};
