#include "application_main.h"

#include "application_identity.h"
#include "instance_handover.h"
#include "launched_editor.h"
#include "termination_signals.h"

#include <QApplication>
#include <QDBusConnection>

namespace parasort {

int ApplicationMain(int& argc, char** argv) {
  TerminationSignals::holdBack();
  QApplication application(argc, argv);
  setApplicationIdentity();
  // Launching the program again is how a Linux user activates it: the
  // running instance brings its window forward and this one steps aside.
  if (handOverToRunningInstance(QDBusConnection::sessionBus())) return 0;
  LaunchedEditor editor(application);
  // A session that ends (logout), the terminal's Ctrl+C or hang-up: the
  // editor quits as File > Quit does, so the font is saved.
  const TerminationSignals terminationSignals([&editor] { editor.quit(); });
  return QApplication::exec();
}

}  // namespace parasort
