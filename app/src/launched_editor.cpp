#include "launched_editor.h"

#include "window_ordering.h"

#include <QTimer>

namespace parasort {

LaunchedEditor::LaunchedEditor(QApplication& application)
    : endpoint_([this] { activate(); },
                // Deferred, so that the caller gets its answer before the
                // application ends.
                [this] { QTimer::singleShot(0, &interface_.window(), [this] { quit(); }); }) {
  MyController& controller = interface_.controller();
  // The controller decides whether the application ends with its window.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&application, &QGuiApplication::lastWindowClosed, &controller, [&controller] {
    if (controller.applicationShouldTerminateAfterLastWindowClosed()) QCoreApplication::quit();
  });
  QObject::connect(&application, &QGuiApplication::applicationStateChanged, &controller,
                   [&controller](Qt::ApplicationState state) {
                     if (state == Qt::ApplicationActive) controller.applicationWillBecomeActive();
                   });
  QObject::connect(&application, &QCoreApplication::aboutToQuit, &controller,
                   [&controller] { controller.applicationWillTerminate(); });

  interface_.window().show();
  endpoint_.registerOnSessionBus();
  QTimer::singleShot(0, &controller, [&controller] { controller.applicationDidFinishLaunching(); });
}

void LaunchedEditor::activate() {
  interface_.controller().applicationWillBecomeActive();
  makeKeyAndOrderFront(interface_.window());
}

void LaunchedEditor::quit() {
  // As File > Quit: closing the last window ends the application, which
  // saves the font on the way out. quit() ends it as well when the window
  // was not on screen to be closed.
  interface_.window().close();
  QCoreApplication::quit();
}

}  // namespace parasort
