// The font memory: the font the view starts with, from what the settings
// hold, and the font written there at the end.
#include "font_catalog.h"
#include "format_commands.h"
#include "main_interface.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

// The saved font when it can be made (a size read as the number it starts
// with), else the default font at the system size.
TEST(FontMemory, TheViewStartsWithTheSavedFontWhenItCanBeMade) {
  const QFont standard = parasort::FontCatalog::userFontOfSize(parasort::FontCatalog::systemFontSize());
  const QString serif = QStringLiteral("DejaVu Serif");
  const struct {
    QVariant name, size;
    double expected;  // 0: the default font
  } cases[] = {{serif, 14.0, 14.0}, {serif, QStringLiteral(" 13.5pt"), 13.5}, {{}, {}, 0}, {serif, {}, 0},
               {{}, 14.0, 0}, {QStringLiteral("No Such Family 7f3a"), 14.0, 0}, {serif, QStringLiteral("large"), 0},
               {serif, 0.0, 0}, {serif, -3.0, 0}, {serif, QStringList{QStringLiteral("9")}, 0}};
  for (const auto& [name, size, expected] : cases) {
    QSettings settings;
    settings.clear();
    for (const auto& [key, value] : {std::pair{"fontName", name}, {"fontSize", size}})
      if (value.isValid()) settings.setValue(QString::fromLatin1(key), value);
    parasort::MainInterface interface;
    EXPECT_EQ(interface.textView().font(), expected == 0 ? standard : *parasort::FontCatalog::fontWithName(serif, expected))
        << name.toString().toStdString() << " " << size.toString().toStdString();
  }
}

// The size goes out as a 32-bit float widened to a double.
TEST(FontMemory, TheFontOfTheTextsFirstCharacterIsSavedAtTheEnd) {
  parasort::MainInterface interface;
  interface.ui().textView->setPlainText(QStringLiteral("first\nsecond"));
  interface.textView().text().setSelectedRange({0, 5});
  ASSERT_TRUE(parasort::FormatCommands::applyFont(interface.textView().text(), {u"DejaVu Sans Mono", 12.1}));
  interface.controller().applicationWillTerminate();
  const QSettings saved;
  EXPECT_EQ(saved.value(QStringLiteral("fontName")), QStringLiteral("DejaVu Sans Mono"));
  EXPECT_EQ(saved.value(QStringLiteral("fontSize")).toString(), QStringLiteral("12.100000381469727"));
}

}  // namespace
