// The signals by which a session ends a program (SIGTERM at logout, SIGINT
// from the terminal, SIGHUP when the terminal goes away), taken out of
// signal delivery and handed to the event loop, where the application can
// quit in order.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <functional>

namespace parasort {

class TerminationSignals final : public QObject {
 public:
  // Holds back SIGTERM, SIGINT and SIGHUP in the calling thread. Call it
  // first thing in main(), before any thread starts: threads inherit the
  // mask, so no thread can be killed by one of them while the listener
  // below waits for it.
  static void holdBack();

  // Runs `quit` on this object's event loop each time one of the held-back
  // signals arrives. Without holdBack() first, or when the kernel offers no
  // signal descriptor, the signals are let through again and keep their
  // default effect.
  explicit TerminationSignals(std::function<void()> quit, QObject* parent = nullptr);
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;
  ~TerminationSignals() override;

 private:
  void readPending();

  std::function<void()> quit_;
  int descriptor_ = -1;
  QSocketNotifier* notifier_ = nullptr;  // a child of this object
};

}  // namespace parasort
