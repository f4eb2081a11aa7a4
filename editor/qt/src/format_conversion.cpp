#include "format_conversion.h"

#include <QBrush>
#include <QColor>
#include <QList>
#include <QStringList>
#include <QTextOption>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>

namespace parasort::editor::qt {
namespace {

constexpr int kExtraAttributesProperty = QTextFormat::UserProperty + 0x70A0;
constexpr int kParagraphStyleProperty = QTextFormat::UserProperty + 0x70A1;

// Qt lays text out in device-independent pixels at 96 per inch; the
// contract's lengths are points, 72 per inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
// Tab stops are a finite list in Qt: enough of them to cover a wide line.
constexpr double kTabStopReachInPixels = 4096.0;
constexpr double kMostTabStops = 512.0;

constexpr std::array kDrawnParagraphProperties{
    QTextFormat::BlockLeftMargin,   QTextFormat::TextIndent,
    QTextFormat::BlockRightMargin,  QTextFormat::BlockTopMargin,
    QTextFormat::BlockBottomMargin, QTextFormat::BlockAlignment,
    QTextFormat::TabPositions};

AttributeDictionary extraAttributes(const QTextFormat& format) {
  return format.property(kExtraAttributesProperty).value<AttributeDictionary>();
}

void setExtraAttributes(QTextFormat& format, const AttributeDictionary& extras) {
  if (extras.empty())
    format.clearProperty(kExtraAttributesProperty);
  else
    format.setProperty(kExtraAttributesProperty, QVariant::fromValue(extras));
}

QList<QTextOption::Tab> tabStops(double intervalInPoints) {
  QList<QTextOption::Tab> stops;
  const double step = intervalInPoints * kPixelsPerPoint;
  if (!(step > 0.0) || !std::isfinite(step)) return stops;
  const double count = std::clamp(std::ceil(kTabStopReachInPixels / step), 1.0, kMostTabStops);
  for (int i = 1; i <= static_cast<int>(count); ++i)
    stops.append(QTextOption::Tab(step * i, QTextOption::LeftTab));
  return stops;
}

TextAlignment alignmentOf(Qt::Alignment alignment) {
  if (alignment & Qt::AlignHCenter) return TextAlignment::Center;
  if (alignment & Qt::AlignJustify) return TextAlignment::Justified;
  if (alignment & Qt::AlignRight) return TextAlignment::Right;
  if (alignment & Qt::AlignLeft) return TextAlignment::Left;
  return TextAlignment::Natural;
}

// The style that a foreign block format's drawn properties describe.
ParagraphStyle styleDrawnBy(const QTextBlockFormat& format) {
  ParagraphStyle style;
  style.headIndent = format.leftMargin() / kPixelsPerPoint;
  style.firstLineHeadIndent = (format.leftMargin() + format.textIndent()) / kPixelsPerPoint;
  style.tailIndent = -format.rightMargin() / kPixelsPerPoint;
  style.paragraphSpacing = format.bottomMargin() / kPixelsPerPoint;
  style.paragraphSpacingBefore = format.topMargin() / kPixelsPerPoint;
  if (format.hasProperty(QTextFormat::BlockAlignment))
    style.alignment = alignmentOf(format.alignment());
  const auto stops = format.tabPositions();
  if (!stops.isEmpty()) style.defaultTabInterval = stops.first().position / kPixelsPerPoint;
  return style;
}

}  // namespace

QString toQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string toU16String(const QString& text) { return text.toStdU16String(); }

int toPosition(Index index) { return static_cast<int>(index); }

double pointsFromPixels(double pixels) { return pixels / kPixelsPerPoint; }

void setCharacterAttribute(QTextCharFormat& format, std::string_view name,
                           const AttributeValue& value) {
  removeCharacterAttribute(format, name);
  if (name == FontAttributeName) {
    if (const auto* font = std::get_if<Font>(&value)) {
      if (!font->family.empty())
        format.setFontFamilies(QStringList{toQString(font->family)});
      if (font->pointSize > 0.0) format.setFontPointSize(font->pointSize);
      if (!font->family.empty() || font->pointSize > 0.0) return;
    }
  } else if (name == FontWeightAttributeName) {
    if (const auto* weight = std::get_if<std::int64_t>(&value)) {
      // QFont takes weights from 1 to 1000.
      format.setFontWeight(static_cast<int>(std::clamp<std::int64_t>(*weight, 1, 1000)));
      return;
    }
  } else if (name == ItalicAttributeName) {
    if (const auto* italic = std::get_if<bool>(&value)) {
      format.setFontItalic(*italic);
      return;
    }
  } else if (name == UnderlineStyleAttributeName) {
    if (const auto* underline = std::get_if<std::int64_t>(&value)) {
      format.setUnderlineStyle(*underline == 0 ? QTextCharFormat::NoUnderline
                                               : QTextCharFormat::SingleUnderline);
      return;
    }
  } else if (name == ForegroundColorAttributeName) {
    if (const auto* color = std::get_if<Color>(&value)) {
      format.setForeground(QBrush(QColor(color->red, color->green, color->blue, color->alpha)));
      return;
    }
  }
  AttributeDictionary extras = extraAttributes(format);
  extras.setObject(value, name);
  setExtraAttributes(format, extras);
}

void removeCharacterAttribute(QTextCharFormat& format, std::string_view name) {
  if (name == FontAttributeName) {
    format.clearProperty(QTextFormat::FontFamilies);
    format.clearProperty(QTextFormat::FontPointSize);
  } else if (name == FontWeightAttributeName) {
    format.clearProperty(QTextFormat::FontWeight);
  } else if (name == ItalicAttributeName) {
    format.clearProperty(QTextFormat::FontItalic);
  } else if (name == UnderlineStyleAttributeName) {
    format.clearProperty(QTextFormat::TextUnderlineStyle);
    format.clearProperty(QTextFormat::FontUnderline);
  } else if (name == ForegroundColorAttributeName) {
    format.clearProperty(QTextFormat::ForegroundBrush);
  }
  AttributeDictionary extras = extraAttributes(format);
  extras.removeObjectForKey(name);
  setExtraAttributes(format, extras);
}

AttributeDictionary characterAttributes(const QTextCharFormat& format) {
  AttributeDictionary attributes = extraAttributes(format);
  if (format.hasProperty(QTextFormat::FontFamilies) ||
      format.hasProperty(QTextFormat::FontPointSize)) {
    const QStringList families = format.fontFamilies().toStringList();
    const double pointSize =
        format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0.0;
    attributes.setObject(
        Font{families.isEmpty() ? std::u16string() : toU16String(families.first()), pointSize},
        FontAttributeName);
  }
  if (format.hasProperty(QTextFormat::FontWeight))
    attributes.setObject(std::int64_t{format.fontWeight()}, FontWeightAttributeName);
  if (format.hasProperty(QTextFormat::FontItalic))
    attributes.setObject(format.fontItalic(), ItalicAttributeName);
  if (format.hasProperty(QTextFormat::TextUnderlineStyle) ||
      format.hasProperty(QTextFormat::FontUnderline)) {
    const bool underlined = format.underlineStyle() != QTextCharFormat::NoUnderline;
    attributes.setObject(std::int64_t{underlined ? 1 : 0}, UnderlineStyleAttributeName);
  }
  if (format.hasProperty(QTextFormat::ForegroundBrush)) {
    const QColor color = format.foreground().color();
    attributes.setObject(Color{static_cast<std::uint8_t>(color.red()),
                               static_cast<std::uint8_t>(color.green()),
                               static_cast<std::uint8_t>(color.blue()),
                               static_cast<std::uint8_t>(color.alpha())},
                         ForegroundColorAttributeName);
  }
  return attributes;
}

QTextCharFormat characterFormat(const AttributeDictionary& attributes) {
  QTextCharFormat format;
  for (const auto& [name, value] : attributes)
    if (name != ParagraphStyleAttributeName) setCharacterAttribute(format, name, value);
  return format;
}

std::optional<ParagraphStyle> paragraphStyle(const QTextBlockFormat& format) {
  if (format.hasProperty(kParagraphStyleProperty))
    return format.property(kParagraphStyleProperty).value<ParagraphStyle>();
  const bool drawn = std::any_of(kDrawnParagraphProperties.begin(), kDrawnParagraphProperties.end(),
                                 [&](int property) { return format.hasProperty(property); });
  if (!drawn) return std::nullopt;
  return styleDrawnBy(format);
}

void setParagraphStyle(QTextBlockFormat& format, const ParagraphStyle& style) {
  removeParagraphStyle(format);
  format.setProperty(kParagraphStyleProperty, QVariant::fromValue(style));
  format.setLeftMargin(style.headIndent * kPixelsPerPoint);
  format.setTextIndent((style.firstLineHeadIndent - style.headIndent) * kPixelsPerPoint);
  // A positive tail indent is a line width from the leading margin, which
  // depends on the view's width; only the trailing-margin kind is drawn.
  if (style.tailIndent < 0.0) format.setRightMargin(-style.tailIndent * kPixelsPerPoint);
  if (style.paragraphSpacing != 0.0) format.setBottomMargin(style.paragraphSpacing * kPixelsPerPoint);
  if (style.paragraphSpacingBefore != 0.0)
    format.setTopMargin(style.paragraphSpacingBefore * kPixelsPerPoint);
  switch (style.alignment) {
    case TextAlignment::Natural: break;
    case TextAlignment::Left: format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case TextAlignment::Right: format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case TextAlignment::Center: format.setAlignment(Qt::AlignHCenter); break;
    case TextAlignment::Justified: format.setAlignment(Qt::AlignJustify); break;
  }
  const auto stops = tabStops(style.defaultTabInterval);
  if (!stops.isEmpty()) format.setTabPositions(stops);
}

void removeParagraphStyle(QTextBlockFormat& format) {
  format.clearProperty(kParagraphStyleProperty);
  for (int property : kDrawnParagraphProperties) format.clearProperty(property);
}

}  // namespace parasort::editor::qt
