#include "launched_editor.h"

#include "window_ordering.h"

#include <QTimer>

namespace parasort {

LaunchedEditor::LaunchedEditor(QApplication& application, QStringList files)
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
  FileDocument& document = interface_.fileDocument();
  endpoint_.setOpenFile([this, &document](const QString& path) {
    QTimer::singleShot(0, &document, [this, &document, path] {
      activate();
      document.openFile(path);
    });
  });
  endpoint_.registerOnSessionBus();
  QTimer::singleShot(0, &controller, [&controller] { controller.applicationDidFinishLaunching(); });
  QTimer::singleShot(0, &document, [&document, files = std::move(files)] {
    document.restoreDraft();
    for (const QString& file : files) document.openFile(file);
  });
}

void LaunchedEditor::activate() {
  interface_.controller().applicationWillBecomeActive();
  makeKeyAndOrderFront(interface_.window());
}

void LaunchedEditor::quit() {
  // As File > Quit: closing the last window ends the application, which
  // saves the font on the way out. quit() ends it as well when the window
  // was not on screen to be closed.
  // Unless the user chose to stay, asked about unsaved changes.
  if (!interface_.window().close()) return;
  QCoreApplication::quit();
}

void LaunchedEditor::quitUnattended() {
  interface_.fileDocument().closeUnattended();
  QCoreApplication::quit();
}

}  // namespace parasort
