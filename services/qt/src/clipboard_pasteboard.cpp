#include "parasort/services/qt/clipboard_pasteboard.h"

#include <QByteArray>
#include <QMimeData>
#include <QString>
#include <QStringView>

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
  auto data = std::make_unique<QMimeData>();
  for (const std::string& type : types) data->setData(qStringOf(type), QByteArray());
  clipboard_.setMimeData(data.release(), mode_);  // the clipboard owns its data
}

bool ClipboardPasteboard::setString(std::u16string_view string, std::string_view type) {
  const QMimeData* current = clipboard_.mimeData(mode_);
  const QString format = qStringOf(type);
  if (current == nullptr || !current->hasFormat(format)) return false;

  // QMimeData cannot be changed once the clipboard has it: build the same
  // contents anew with this one type set.
  auto data = std::make_unique<QMimeData>();
  for (const QString& offered : current->formats()) data->setData(offered, current->data(offered));
  if (type == stringPboardType) {
    data->setText(qStringOf(string));
  } else {
    data->setData(format, qStringOf(string).toUtf8());
  }
  clipboard_.setMimeData(data.release(), mode_);
  return true;
}

}  // namespace parasort
