// The fonts the controller asks for, by the questions it asks: the system
// font size, the user's default font, and a named font at a size.
#pragma once

#include <QFont>
#include <QString>

#include <optional>

namespace parasort::FontCatalog {

// The point size of the desktop's general font.
[[nodiscard]] double systemFontSize();

// The desktop's general font (the font for the user's text) at `size`
// points.
[[nodiscard]] QFont userFontOfSize(double size);

// The font family `name` at `size` points, or nothing when no such font can
// be made: the family is not installed (QFontDatabase::hasFamily), or the
// size is not a finite number above zero.
[[nodiscard]] std::optional<QFont> fontWithName(const QString& name, double size);

// The name by which fontWithName() finds `font` again: the family that the
// font really draws with (a requested family that is not installed, or an
// alias such as "Sans Serif", is resolved to the installed one).
[[nodiscard]] QString fontName(const QFont& font);

// The font's size in points (a pixel-sized font reports its equivalent).
[[nodiscard]] double pointSize(const QFont& font);

}  // namespace parasort::FontCatalog
