#include "parasort/services/qt/clipboard_pasteboard.h"

#include <QByteArray>
#include <QMimeData>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <memory>

namespace parasort {
namespace {

QString qStringOf(std::string_view type) {
  return QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()));
}

QString qStringOf(std::u16string_view text) {
  return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

}  // namespace

ClipboardPasteboard::ClipboardPasteboard(QClipboard& clipboard, QClipboard::Mode mode)
    : clipboard_(clipboard), mode_(mode) {}

std::vector<std::string> ClipboardPasteboard::types() const {
  std::vector<std::string> types;
  if (const QMimeData* data = clipboard_.mimeData(mode_)) {
    for (const QString& format : data->formats()) types.push_back(format.toStdString());
  }
  return types;
}

std::optional<std::u16string> ClipboardPasteboard::stringForType(std::string_view type) const {
  const QMimeData* data = clipboard_.mimeData(mode_);
  const QString format = qStringOf(type);
  if (data == nullptr || !data->hasFormat(format)) return std::nullopt;
  if (type != stringPboardType) return QString::fromUtf8(data->data(format)).toStdU16String();

  // A null text is the clipboard failing to give the text it lists.
  const QString text = data->text();
  if (text.isNull()) return std::nullopt;
  return text.toStdU16String();
}

void ClipboardPasteboard::declareTypes(std::span<const std::string> types) {
  declared_.clear();
  for (const std::string& type : types)
    if (std::ranges::find(declared_, type, &Declared::type) == declared_.end()) declared_.push_back({type, {}});
  publish();
}

bool ClipboardPasteboard::setString(std::u16string_view string, std::string_view type) {
  const auto declared = std::ranges::find(declared_, type, &Declared::type);
  if (declared == declared_.end()) return false;
  declared->contents = qStringOf(string);
  publish();
  return true;
}

void ClipboardPasteboard::publish() {
  // Built whole from what was declared and set, never from the clipboard
  // read back: on Wayland that gives the compositor's view of it, with
  // other names of plain text and no contents for them.
  auto data = std::make_unique<QMimeData>();
  for (const Declared& declared : declared_) {
    if (declared.type == stringPboardType) {
      data->setText(declared.contents);
    } else {
      data->setData(qStringOf(declared.type), declared.contents.toUtf8());
    }
  }
  clipboard_.setMimeData(data.release(), mode_);  // the clipboard owns its data
}

}  // namespace parasort
