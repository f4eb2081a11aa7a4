// How the contract's attributes are kept in Qt's text formats: character
// attributes in QTextCharFormat, the paragraph style in QTextBlockFormat,
// so that what is set is also what is drawn.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/paragraph_style.h"
#include "parasort/editor/range.h"

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <optional>
#include <string>
#include <string_view>

namespace parasort::editor::qt {

[[nodiscard]] QString toQString(std::u16string_view text);
[[nodiscard]] std::u16string toU16String(const QString& text);
// A document position; documents never hold more than INT_MAX units.
[[nodiscard]] int toPosition(Index index);

// Qt lays text out in device-independent pixels at 96 per inch; the
// contract's lengths are points, 72 per inch.
[[nodiscard]] double pointsFromPixels(double pixels);

// The known character attributes go to Qt's own properties (font families
// and point size, weight, italic, underline style, foreground brush); any
// other name, or a known name with a value of another type, is kept exactly
// in a user property of the format. Setting a name first removes whatever
// the format held for it.
void setCharacterAttribute(QTextCharFormat& format, std::string_view name,
                           const AttributeValue& value);
void removeCharacterAttribute(QTextCharFormat& format, std::string_view name);
[[nodiscard]] AttributeDictionary characterAttributes(const QTextCharFormat& format);
// The character attributes of `attributes` (the paragraph style is skipped).
[[nodiscard]] QTextCharFormat characterFormat(const AttributeDictionary& attributes);

// The style is kept whole in a user property of the block format, so it
// reads back exactly, and is drawn through the block's margins, first-line
// indent, alignment and tab stops (one every interval). A block format that
// only has the drawn properties (text from elsewhere) reads as the style
// they describe; one with neither has no style.
[[nodiscard]] std::optional<ParagraphStyle> paragraphStyle(const QTextBlockFormat& format);
void setParagraphStyle(QTextBlockFormat& format, const ParagraphStyle& style);
void removeParagraphStyle(QTextBlockFormat& format);

}  // namespace parasort::editor::qt
