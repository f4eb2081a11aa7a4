#include "my_controller.h"

#include "font_catalog.h"
#include "parasort/editor/range.h"
#include "parasort/editor/text_view_additions.h"
#include "parasort/services/qt/services_registration.h"
#include "user_defaults.h"
#include "window_ordering.h"

#include <QDBusConnection>
#include <QFont>
#include <QString>

#include <iostream>
#include <optional>

namespace parasort {

MyController::MyController(EditorTextView& textView, QObject* parent)
    : QObject(parent), _textView(textView) {}

void MyController::awakeFromNib() {
  const double size = FontCatalog::systemFontSize();
  QFont font = FontCatalog::userFontOfSize(size);
  const UserDefaults defaults;
  // Both are read before either is tested.
  const std::optional<QString> name = defaults.stringForKey(QString::fromLatin1(fontNameKey));
  const std::optional<QVariant> saved = defaults.objectForKey(QString::fromLatin1(fontSizeKey));
  if (name && saved) {
    if (const std::optional<QFont> candidate = FontCatalog::fontWithName(*name, doubleValue(*saved))) {
      font = *candidate;
    }
  }
  _textView.setFont(font);
}

template <class Transform>
void MyController::replaceSelectionWith(Transform transform) {
  editor::TextView& view = _textView.text();
  const std::u16string string = view.string();
  // The view keeps its selection inside the text; clamping only guards the
  // cut.
  const editor::Range range = editor::clampedRange(view.selectedRange(), string.size());
  const std::u16string_view text = std::u16string_view(string).substr(range.location, range.length);
  // Requested even when the text comes back as it was: it is an edit like
  // any other, approved and recorded for undo. A refusal changes nothing.
  TQAdditions::actionReplaceCharactersInRange(view, range, TQAdditions::StringObject(transform(text)));
}

void MyController::sortParagraphs(const QAction& sender) {
  // The whole integer is compared with zero: 1 and -1 both mean descending.
  const bool ascending = sender.data().toLongLong() == 0;
  replaceSelectionWith([&](std::u16string_view text) { return sortedParagraphOfString(text, ascending); });
}

void MyController::uniqueParagraphs(const QAction& /*sender*/) {
  replaceSelectionWith([&](std::u16string_view text) { return uniqueParagraphOfString(text); });
}

void MyController::arrangeParagraphs(ParagraphOrder order) {
  replaceSelectionWith([&](std::u16string_view text) { return arrangedParagraphs(text, order); });
}

void MyController::applicationDidFinishLaunching() {
  if (startSystemServices(*this)) return;
  // The editor is useful without the services; the user should still learn
  // why other applications cannot reach them.
  std::cerr << (QDBusConnection::sessionBus().isConnected()
                    ? "parasort-editor: the paragraph services are not offered: another program holds their bus name\n"
                    : "parasort-editor: the paragraph services are not offered: no D-Bus session bus\n");
}

void MyController::applicationWillBecomeActive() {
  QWidget& window = _textView.window();
  // Qt counts a minimized window as visible, but the user cannot see it.
  if (!window.isVisible() || window.isMinimized()) makeKeyAndOrderFront(window);
}

void MyController::applicationWillTerminate() {
  UserDefaults defaults;
  const QFont font = _textView.font();
  defaults.setObject(FontCatalog::fontName(font), QString::fromLatin1(fontNameKey));
  defaults.setFloat(static_cast<float>(FontCatalog::pointSize(font)), QString::fromLatin1(fontSizeKey));
  defaults.synchronize();
}

bool MyController::applicationShouldTerminateAfterLastWindowClosed() const { return true; }

}  // namespace parasort
