#include "application_main.h"

#include "application_identity.h"
#include "colour_emoji_fonts.h"
#include "instance_handover.h"
#include "launched_editor.h"
#include "termination_signals.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QStringList>

namespace parasort {
namespace {

// The files named on the command line (what Qt left of the arguments), as
// absolute paths: the running instance may have another directory.
QStringList filesToOpen(const QStringList& arguments) {
  QStringList files;
  bool options = true;
  for (const QString& argument : arguments.mid(1)) {
    if (options && argument == QLatin1String("--")) {
      options = false;
      continue;
    }
    if (options && argument.startsWith(QLatin1Char('-'))) continue;
    files << QFileInfo(argument).absoluteFilePath();
  }
  return files;
}

}  // namespace

int ApplicationMain(int& argc, char** argv) {
  TerminationSignals::holdBack();
  preferColourEmojiFonts();
  QApplication application(argc, argv);
  setApplicationIdentity();
  // Launching the program again is how a Linux user activates it: the
  // running instance brings its window forward and this one steps aside.
  const QStringList files = filesToOpen(QCoreApplication::arguments());
  if (handOverToRunningInstance(QDBusConnection::sessionBus(), files)) return 0;
  LaunchedEditor editor(application, files);
  // A session that ends (logout), the terminal's Ctrl+C or hang-up: the
  // editor quits as File > Quit does, so the font is saved, but without
  // asking anyone about unsaved changes: they are kept as a draft.
  const TerminationSignals terminationSignals([&editor] { editor.quitUnattended(); });
  return QApplication::exec();
}

}  // namespace parasort
