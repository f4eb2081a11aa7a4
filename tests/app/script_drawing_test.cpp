// The editor draws every script shaped: Arabic letters joined, emoji
// sequences as one picture, Latin kerned. Each sample is laid out by the
// window's own text view, as it draws it, and set against its characters
// laid out one by one (the way an unshaped run would draw them).
#include "main_interface.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct Drawn {
  std::vector<std::uint32_t> glyphs;
  double advance = 0.0;
};

Drawn glyphsOf(const QTextLayout& layout) {
  Drawn drawn;
  if (layout.lineCount() == 0) return drawn;
  for (const QGlyphRun& run : layout.lineAt(0).glyphRuns())
    for (const quint32 glyph : run.glyphIndexes()) drawn.glyphs.push_back(glyph);
  drawn.advance = layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0.0;
  return drawn;
}

// `text` as the editor draws it, in a paragraph of its own.
Drawn drawnByTheEditor(parasort::MainInterface& interface, const QString& text) {
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(text);
  const QTextBlock block = edit.document()->firstBlock();
  QCoreApplication::processEvents();  // the shown window lays the new text out
  return glyphsOf(*block.layout());
}

// Each character (code point) of `text` laid out alone in the editor's font.
Drawn drawnCharacterByCharacter(parasort::MainInterface& interface, const QString& text) {
  const QFont font = interface.ui().textView->document()->defaultFont();
  Drawn all;
  for (qsizetype i = 0; i < text.size(); i += text.at(i).isHighSurrogate() ? 2 : 1) {
    QTextLayout alone(text.mid(i, text.at(i).isHighSurrogate() ? 2 : 1), font);
    alone.beginLayout();
    alone.createLine();
    alone.endLayout();
    const Drawn one = glyphsOf(alone);
    all.glyphs.insert(all.glyphs.end(), one.glyphs.begin(), one.glyphs.end());
    all.advance += one.advance;
  }
  return all;
}

enum class Shaping { joined, oneGlyph, kerned };

bool installed(const char* family) {
  return QFontDatabase::families().contains(QString::fromLatin1(family));
}

// Arabic letters take their joining forms (other glyphs than the isolated
// letters'); a ZWJ sequence, a flag and an emoji with its skin tone come out
// as one glyph (the colour emoji font goes before the black-and-white
// symbol fonts that hold some of their characters);
// a kerned pair draws narrower than its letters side by side.
TEST(ScriptDrawing, EachScriptIsShapedAsItNeeds) {
  ASSERT_TRUE(installed("Noto Sans Arabic") && installed("Noto Color Emoji") && installed("DejaVu Sans"))
      << "scripts/bootstrap installs the fonts";
  parasort::MainInterface interface;
  interface.window().show();
  interface.textView().setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
  const struct {
    const char16_t* text;
    Shaping shaped;
  } samples[] = {
      {u"\u0628\u0628\u0628", Shaping::joined},                                      // Arabic: beh beh beh
      {u"\u0633\u0644\u0627\u0645", Shaping::joined},                                // Arabic: salam
      {u"\u0928\u092E\u0938\u094D\u0924\u0947", Shaping::joined},                    // Devanagari: namaste
      {u"\U0001F468\u200D\U0001F469\u200D\U0001F467", Shaping::oneGlyph},            // family
      {u"\U0001F1EB\U0001F1F7", Shaping::oneGlyph},                                  // flag of France
      {u"\U0001F44D\U0001F3FD", Shaping::oneGlyph},                                  // thumbs up, medium skin tone
      {u"AVATAR To", Shaping::kerned},
  };
  for (const auto& [text, shaped] : samples) {
    const QString sample = QString::fromUtf16(text);
    SCOPED_TRACE(sample.toStdString());
    const Drawn drawn = drawnByTheEditor(interface, sample);
    const Drawn alone = drawnCharacterByCharacter(interface, sample);
    ASSERT_FALSE(drawn.glyphs.empty());
    switch (shaped) {
      case Shaping::joined:
        EXPECT_NE(drawn.glyphs, alone.glyphs);
        break;
      case Shaping::oneGlyph:
        EXPECT_EQ(drawn.glyphs.size(), 1U);
        break;
      case Shaping::kerned:
        EXPECT_EQ(drawn.glyphs, alone.glyphs);
        EXPECT_LT(drawn.advance, alone.advance - 1.0);
        break;
    }
  }
}

}  // namespace
