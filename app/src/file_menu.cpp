#include "file_menu.h"

#include <QAction>
#include <QDir>
#include <QKeySequence>

namespace parasort {
namespace {

QAction* item(QMenu& menu, QAction& before, const QString& text, const char* objectName,
              QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey) {
  auto* action = new QAction(text, &menu);
  action->setObjectName(QLatin1String(objectName));
  if (shortcut != QKeySequence::UnknownKey) action->setShortcut(shortcut);
  menu.insertAction(&before, action);
  return action;
}

// Open Recent lists the recent files afresh each time it opens.
void fillRecentMenu(QMenu& recent, FileDocument& document) {
  recent.clear();
  const QStringList files = document.recentFiles();
  for (int i = 0; i < files.size(); ++i) {
    // &1 to &9, then &0: each has its key.
    const QString label = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(QDir::toNativeSeparators(files[i]));
    QObject::connect(recent.addAction(label), &QAction::triggered, &document,
                     [&document, path = files[i]] { document.openFile(path); });
  }
  recent.addSeparator();
  QAction* clear = recent.addAction(QStringLiteral("&Clear Menu"));
  clear->setEnabled(!files.isEmpty());
  QObject::connect(clear, &QAction::triggered, &document, &FileDocument::clearRecentFiles);
}

}  // namespace

void addFileMenuItems(QMenu& fileMenu, QAction& before, FileDocument& document) {
  fileMenu.setTitle(QStringLiteral("&File"));
  QObject::connect(item(fileMenu, before, QStringLiteral("&New"), "actionNew", QKeySequence::New),
                   &QAction::triggered, &document, &FileDocument::newDocument);
  QObject::connect(item(fileMenu, before, QStringLiteral("&Open…"), "actionOpen", QKeySequence::Open),
                   &QAction::triggered, &document, &FileDocument::open);
  auto* recent = new QMenu(QStringLiteral("Open &Recent"), &fileMenu);
  recent->setObjectName(QStringLiteral("menuOpenRecent"));
  fileMenu.insertMenu(&before, recent);
  QObject::connect(recent, &QMenu::aboutToShow, &document, [recent, &document] { fillRecentMenu(*recent, document); });
  fillRecentMenu(*recent, document);
  fileMenu.insertSeparator(&before);
  QObject::connect(item(fileMenu, before, QStringLiteral("&Save"), "actionSave", QKeySequence::Save),
                   &QAction::triggered, &document, &FileDocument::save);
  QAction* saveAs = item(fileMenu, before, QStringLiteral("Save &As…"), "actionSaveAs");
  saveAs->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
  QObject::connect(saveAs, &QAction::triggered, &document, &FileDocument::saveAs);
  QObject::connect(item(fileMenu, before, QStringLiteral("Re&vert to Saved"), "actionRevert"), &QAction::triggered,
                   &document, &FileDocument::revert);
  fileMenu.insertSeparator(&before);
}

}  // namespace parasort
