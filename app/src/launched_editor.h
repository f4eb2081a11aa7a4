// The editor while the application runs: the loaded main interface, with
// the application's events delivered to its controller:
//
//   launch finished             -> applicationDidFinishLaunching()
//   application becoming active -> applicationWillBecomeActive()
//   (also a second launch, through the bus: activate())
//   last window closed          -> applicationShouldTerminateAfterLastWindowClosed()
//   about to quit               -> applicationWillTerminate()
//   (also quit() through the bus, and the termination signals)
#pragma once

#include "editor_bus_endpoint.h"
#include "main_interface.h"

#include <QApplication>

namespace parasort {

class LaunchedEditor {
 public:
  // Loads the main interface, shows its window and connects the events of
  // `application`, which must outlive this object. The launch finishes once
  // the event loop runs.
  // `files` (absolute paths) open once the launch finished, after a draft
  // of the last session was offered back.
  explicit LaunchedEditor(QApplication& application, QStringList files = {});

  [[nodiscard]] MainInterface& interface() { return interface_; }

  // What activating the application does: the controller's part, then the
  // window raised above the others and made active.
  void activate();

  // What File > Quit does: the window closes and the application ends
  // through its usual path (applicationWillTerminate() included).
  void quit();
  // What a termination signal does: as quit(), but nobody is asked about
  // unsaved changes; they are kept as a draft for the next start.
  void quitUnattended();

 private:
  MainInterface interface_;
  EditorBusEndpoint endpoint_;
};

}  // namespace parasort
