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
  explicit LaunchedEditor(QApplication& application);

  [[nodiscard]] MainInterface& interface() { return interface_; }

  // What activating the application does: the controller's part, then the
  // window raised above the others and made active.
  void activate();

  // What File > Quit does: the window closes and the application ends
  // through its usual path (applicationWillTerminate() included).
  void quit();

 private:
  MainInterface interface_;
  EditorBusEndpoint endpoint_;
};

}  // namespace parasort
