// The services the windows take from the platform, behind one interface so tests can record them.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QObject;
class QWidget;

class Runtime {
 public:
  virtual ~Runtime() = default;

  // Shows `window` modally; returns once it has been hidden or closed.
  virtual void showModal(QDialog& window) = 0;
  // A modal box with no icon and one "確定" button; returns when the user closes it.
  virtual void messageBox(QWidget* parent, const QString& prompt, const QString& title) = 0;
  // Leaves exactly `text` on the clipboard as plain text.
  virtual void setClipboardText(const QString& text) = 0;
  // Seconds since midnight, the clock value Randomize is fed with.
  virtual float timer() = 0;
  // Mixes `seed` into the generator's state; never restarts the sequence.
  virtual void randomize(float seed) = 0;
  // A uniform draw r with 0 <= r < 1.
  virtual double rnd() = 0;
  // Queues a Home key press for the focused control without waiting for it.
  virtual void sendHomeKey() = 0;
  // Handles the events queued so far (keys, repaints) before returning.
  virtual void doEvents() = 0;
  virtual void beep() = 0;
  // Asks the desktop to start its mail program with a new message to `address`, and returns at
  // once. `done` runs later, while `context` lives, with false when no mail program started.
  virtual void openMailLink(const QString& address, QObject* context,
                            std::function<void(bool)> done) = 0;
};
