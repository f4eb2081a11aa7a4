#include "application_main.h"

#include "application_identity.h"
#include "instance_handover.h"
#include "launched_editor.h"

#include <QApplication>
#include <QDBusConnection>

namespace parasort {

int ApplicationMain(int& argc, char** argv) {
  QApplication application(argc, argv);
  setApplicationIdentity();
  // Launching the program again is how a Linux user activates it: the
  // running instance brings its window forward and this one steps aside.
  if (handOverToRunningInstance(QDBusConnection::sessionBus())) return 0;
  LaunchedEditor editor(application);
  return QApplication::exec();
}

}  // namespace parasort
