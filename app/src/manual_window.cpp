#include "manual_window.h"

#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QProcess>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace parasort {
namespace {

const QString manualName = QStringLiteral("manual");

QByteArray pageSource() {
  QFile page(QStringLiteral(":/manual/parasort-editor.1"));
  return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
}

// The page as man(1) sets it for a terminal of 80 columns, in plain text
// (man drops the emphasis when it writes to a pipe); empty when it cannot.
QString setPage(const QByteArray& source) {
  QProcess man;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
  environment.insert(QStringLiteral("MANPAGER"), QStringLiteral("cat"));
  environment.remove(QStringLiteral("MAN_KEEP_FORMATTING"));
  man.setProcessEnvironment(environment);
  man.start(QStringLiteral("man"), {QStringLiteral("-l"), QStringLiteral("-")});
  if (!man.waitForStarted(5000)) return {};
  man.write(source);
  man.closeWriteChannel();
  if (!man.waitForFinished(10000) || man.exitStatus() != QProcess::NormalExit || man.exitCode() != 0) return {};
  return QString::fromUtf8(man.readAllStandardOutput());
}

}  // namespace

void showManual(QWidget& window) {
  if (auto* open = window.findChild<QDialog*>(manualName)) {
    open->show();
    open->raise();
    open->activateWindow();
    return;
  }
  auto* dialog = new QDialog(&window);
  dialog->setObjectName(manualName);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("Parasort Manual"));
  auto* text = new QTextBrowser(dialog);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const QByteArray source = pageSource();
  const QString page = setPage(source);
  text->setPlainText(page.isEmpty() ? QStringLiteral("The manual could not be set: the man program is missing "
                                                     "or failed. Its source follows.\n\n") +
                                          QString::fromUtf8(source)
                                    : page);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(text);
  dialog->resize(text->fontMetrics().horizontalAdvance(QString(86, u'm')), 600);
  dialog->show();
}

}  // namespace parasort
