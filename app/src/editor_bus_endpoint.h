// The running editor's object on the session bus: how a second launch of the
// program, or a script, reaches the one that runs.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace parasort {

class EditorBusEndpoint final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "io.github.parasort.Editor")

 public:
  // `activate` and `quit` run, on this object's thread, when the bus method
  // of the same name is called.
  EditorBusEndpoint(std::function<void()> activate, std::function<void()> quit,
                    QObject* parent = nullptr);
  // `openFile` runs when the bus method openFile is called.
  void setOpenFile(std::function<void(const QString& path)> openFile) { openFile_ = std::move(openFile); }

  // Exports the object at editor_bus::objectPath on the session bus; the
  // services claim the bus name. Returns whether it worked.
  bool registerOnSessionBus();

 public slots:
  Q_SCRIPTABLE void activate();
  Q_SCRIPTABLE void quit();
  // Opens the file at the absolute `path` in the window (after the reply:
  // opening may ask the user a question).
  Q_SCRIPTABLE void openFile(const QString& path);

 private:
  std::function<void()> activate_;
  std::function<void()> quit_;
  std::function<void(const QString&)> openFile_;
};

}  // namespace parasort
