// The main interface, loaded: the editor window (main_interface.ui) with its
// text view and menus, the one MyController, and the menu items connected to
// the operations they stand for. Loading ends with the controller's
// awakeFromNib().
#pragma once

#include "editor_text_view.h"
#include "file_document.h"
#include "find_replace.h"
#include "my_controller.h"
#include "selection_status.h"
#include "ui_main_interface.h"

#include "parasort/engine/arrangement.h"

#include <QAction>
#include <QMainWindow>

#include <vector>

namespace parasort {

class MainInterface {
 public:
  // Builds the window hidden; the caller shows it.
  MainInterface();
  MainInterface(const MainInterface&) = delete;
  MainInterface& operator=(const MainInterface&) = delete;

  [[nodiscard]] QMainWindow& window() { return window_; }
  [[nodiscard]] const Ui::EditorWindow& ui() const { return ui_; }
  [[nodiscard]] EditorTextView& textView() { return textView_; }
  [[nodiscard]] MyController& controller() { return controller_; }
  // The document as a file: the File menu's New, Open, Save... and drafts.
  [[nodiscard]] FileDocument& fileDocument() { return fileDocument_; }
  // The Paragraphs menu's item for the operation of `order` (one that has
  // an item).
  [[nodiscard]] QAction& paragraphAction(ParagraphOrder order) const;
  // Edit > Find… and its fellows.
  [[nodiscard]] FindReplace& findReplace() const { return *findReplace_; }

 private:
  void addParagraphsMenu();
  void connectFindMenu();

  QMainWindow window_;
  Ui::EditorWindow ui_;
  EditorTextView textView_;
  MyController controller_;
  SelectionStatus status_;
  FileDocument fileDocument_;
  // One for each row of the operations table that has a menu item, in its
  // order; the items are owned by the window.
  struct ParagraphItem {
    ParagraphOrder order;
    QAction* action;
  };
  std::vector<ParagraphItem> paragraphItems_;
  FindReplace* findReplace_ = nullptr;  // owned by the text view
};

}  // namespace parasort
