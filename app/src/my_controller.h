// MyController: the application's one controller. It holds the editor's text
// view, answers the Paragraphs menu's actions on the editor's selection, is the
// application's delegate (the font at start and at the end, the window on
// activation, quitting with the last window) and provides the services.
//
// It keeps no state besides the view: the selection, the text and the font
// are read from the view each time, the sort options from the settings. It shows no dialog and throws nothing.
#pragma once

#include "editor_text_view.h"
#include "parasort/engine/arrangement.h"
#include "parasort/services/pasteboard.h"
#include "parasort/services/service_exchange.h"

#include <QAction>
#include <QObject>

#include <string>
#include <string_view>

namespace parasort {

class MyController final : public QObject {
 public:
  // The settings keys of the saved font.
  static constexpr char fontNameKey[] = "fontName";
  static constexpr char fontSizeKey[] = "fontSize";

  // `textView` must outlive the controller.
  explicit MyController(EditorTextView& textView, QObject* parent = nullptr);

  // ---- Its own operations ----

  // After the main interface is loaded: gives the view the saved font when
  // both "fontName" and "fontSize" are saved and the font can be made, else
  // the user's default font at the system font size.
  void awakeFromNib();

  // Replaces the selection with its paragraphs sorted, ascending when the
  // sender's tag (its data, as an integer) is 0 and descending for any other
  // tag, as one approved, undoable edit that leaves the result selected.
  void sortParagraphs(const QAction& sender);
  // The same with the selection's paragraphs de-duplicated; the sender is
  // not consulted.
  void uniqueParagraphs(const QAction& sender);
  // The same with the selection's paragraphs arranged in `order` (for the
  // orders without a tag of their own).
  void arrangeParagraphs(ParagraphOrder order);

  // Puts the services on the session bus. Without a bus (or with another
  // instance holding the name) the editor runs on and says so once on
  // standard error.
  void applicationDidFinishLaunching();
  // Brings the editor window to the front as the active window when it is
  // hidden or minimized (restored then); a window on screen is left as it
  // is.
  void applicationWillBecomeActive();
  // Saves the view's font name and point size (as a 32-bit float) under
  // "fontName" and "fontSize", then writes the settings out.
  void applicationWillTerminate();
  // Always true: the application ends with its last window.
  [[nodiscard]] bool applicationShouldTerminateAfterLastWindowClosed() const;

  // ---- Private: the transforms (the engine's) ----

  [[nodiscard]] std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending) const;
  [[nodiscard]] std::u16string uniqueParagraphOfString(std::u16string_view text) const;
  // Every menu action's transform: `text` arranged in `order` by the user's
  // collation locale, under the saved sort options.
  [[nodiscard]] std::u16string arrangedParagraphs(std::u16string_view text, ParagraphOrder order) const;

  // ---- SystemServiceProvider: the services' entry points ----

  void sspSortParagraphsAscending(Pasteboard& pasteboard, std::u16string_view userData,
                                  ServiceError* error);
  void sspSortParagraphsDescending(Pasteboard& pasteboard, std::u16string_view userData,
                                   ServiceError* error);
  void sspUniqueParagraphs(Pasteboard& pasteboard, std::u16string_view userData, ServiceError* error);

 private:
  // The selected text, through `transform`, replaces the selection.
  template <class Transform>
  void replaceSelectionWith(Transform transform);

  EditorTextView& _textView;
};

}  // namespace parasort
