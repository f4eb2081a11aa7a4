#include "file_dialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace parasort {
namespace {

struct SaveType {
  QString filter;
  QString suffix;
  DocumentKind kind;
};

// What Save As offers: plain text, and for formatted text HTML and Markdown
// (the formats Qt's document writes).
std::vector<SaveType> saveTypes() {
  std::vector<SaveType> types{
      {QStringLiteral("Plain text (*.txt *)"), QString(), DocumentKind::plainText},
      {QStringLiteral("HTML, formatting kept (*.html *.htm)"), QStringLiteral("html"), DocumentKind::html},
  };
#if QT_CONFIG(textmarkdownwriter)
  types.push_back({QStringLiteral("Markdown, formatting kept (*.md)"), QStringLiteral("md"), DocumentKind::markdown});
#endif
  return types;
}

bool askYes(QWidget& window, const QString& text, const QString& yes, QMessageBox::Icon icon) {
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Cancel, &window);
  QPushButton* go = box.addButton(yes, QMessageBox::AcceptRole);
  box.setDefaultButton(go);
  box.exec();
  return box.clickedButton() == go;
}

}  // namespace

FileDocument::Questions fileDialogs(QWidget& window) {
  FileDocument::Questions questions;
  questions.saveChanges = [&window](const QString& name) {
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                    QStringLiteral("Do you want to save the changes you made to “%1”?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window);
    box.setInformativeText(QStringLiteral("Your changes will be lost if you don’t save them."));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
      case QMessageBox::Save:
        return FileDocument::Answer::save;
      case QMessageBox::Discard:
        return FileDocument::Answer::discard;
      default:
        return FileDocument::Answer::cancel;
    }
  };
  questions.fileToOpen = [&window] { return QFileDialog::getOpenFileName(&window, QStringLiteral("Open")); };
  questions.fileToSaveAs = [&window](const QString& suggested) -> std::optional<std::pair<QString, DocumentKind>> {
    const std::vector<SaveType> types = saveTypes();
    QStringList filters;
    for (const SaveType& type : types) filters << type.filter;
    QString chosenFilter = filters.front();
    for (const SaveType& type : types)
      if (!type.suffix.isEmpty() && documentKindOf(suggested) == type.kind) chosenFilter = type.filter;
    QString path =
        QFileDialog::getSaveFileName(&window, QStringLiteral("Save As"), suggested, filters.join(QStringLiteral(";;")), &chosenFilter);
    if (path.isEmpty()) return std::nullopt;
    for (const SaveType& type : types) {
      if (type.filter != chosenFilter) continue;
      // The kind follows the file's name, which the chosen type completes.
      if (!type.suffix.isEmpty() && documentKindOf(path) != type.kind) path += QLatin1Char('.') + type.suffix;
      return std::pair(path, documentKindOf(path));
    }
    return std::pair(path, documentKindOf(path));
  };
  questions.overwriteChangedFile = [&window](const QString& name) {
    return askYes(window,
                  QStringLiteral("“%1” was changed by another program since it was opened or saved here. "
                                 "Saving replaces those changes.")
                      .arg(name),
                  QStringLiteral("Save Anyway"), QMessageBox::Warning);
  };
  questions.saveAsInstead = [&window](const QString& message) {
    return askYes(window, message, QStringLiteral("Save As…"), QMessageBox::Warning);
  };
  questions.loseFormatting = [&window] {
    return askYes(window,
                  QStringLiteral("The text is formatted (bold, italic, underline, fonts or indents), and plain text "
                                 "cannot keep formatting: it will not be saved. Save As can keep it in HTML or Markdown."),
                  QStringLiteral("Save as Plain Text"), QMessageBox::Information);
  };
  questions.restoreDraft = [&window](const QString& name) {
    return askYes(window,
                  QStringLiteral("Unsaved changes to “%1” were kept when the editor last ended without saving "
                                 "them. Do you want them back?")
                      .arg(name),
                  QStringLiteral("Restore Changes"), QMessageBox::Question);
  };
  questions.discardChanges = [&window](const QString& name) {
    return askYes(window,
                  QStringLiteral("Revert “%1” to the file on disk? The changes made since it was saved will be lost.")
                      .arg(name),
                  QStringLiteral("Revert"), QMessageBox::Warning);
  };
  questions.tell = [&window](const QString& message) {
    QMessageBox::warning(&window, QGuiApplication::applicationDisplayName(), message);
  };
  return questions;
}

}  // namespace parasort
