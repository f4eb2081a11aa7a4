// The font memory, in process and piece by piece: what the settings file
// holds, how a stored size reads back, which fonts can be made, and the font
// the view gets at start and leaves at the end.
#include "app_test_support.h"
#include "font_catalog.h"
#include "format_commands.h"
#include "main_interface.h"
#include "user_defaults.h"

#include <QFile>
#include <QSettings>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using parasort::FontCatalog::fontWithName;

class FontMemory : public ::testing::Test {
 protected:
  void SetUp() override { parasort::test::clearUserDefaults(); }

  static void save(const QVariant& name, const QVariant& size) {
    QSettings settings;
    if (name.isValid()) settings.setValue(QStringLiteral("fontName"), name);
    if (size.isValid()) settings.setValue(QStringLiteral("fontSize"), size);
  }
  static QFont defaultFont() {
    return parasort::FontCatalog::userFontOfSize(parasort::FontCatalog::systemFontSize());
  }
  static QString settingsFileText() {
    QFile file(QSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
};

TEST_F(FontMemory, AFloatIsStoredAsTheDoubleItWidensTo) {
  parasort::UserDefaults defaults;
  defaults.setFloat(12.1F, QStringLiteral("fontSize"));
  defaults.synchronize();
  EXPECT_TRUE(settingsFileText().contains(QStringLiteral("fontSize=12.100000381469727")))
      << settingsFileText().toStdString();
  const parasort::UserDefaults reread;
  const auto stored = reread.objectForKey(QStringLiteral("fontSize"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(parasort::doubleValue(*stored), 12.100000381469727);
}

TEST_F(FontMemory, AStoredSizeReadsAsTheNumberItStartsWith) {
  EXPECT_EQ(parasort::doubleValue(QStringLiteral("14")), 14.0);
  EXPECT_EQ(parasort::doubleValue(QStringLiteral(" 13.5pt")), 13.5);
  EXPECT_EQ(parasort::doubleValue(QStringLiteral("large")), 0.0);
  EXPECT_EQ(parasort::doubleValue(QVariant(9.25)), 9.25);
  EXPECT_EQ(parasort::doubleValue(QVariant(QStringList{QStringLiteral("1"), QStringLiteral("2")})), 0.0);
}

TEST_F(FontMemory, AFontCanBeMadeOnlyOfAnInstalledFamilyAtAPositiveSize) {
  const auto serif = fontWithName(QStringLiteral("DejaVu Serif"), 14.0);
  ASSERT_TRUE(serif);
  EXPECT_EQ(serif->pointSizeF(), 14.0);
  EXPECT_EQ(parasort::FontCatalog::fontName(*serif), QStringLiteral("DejaVu Serif"));
  EXPECT_FALSE(fontWithName(QStringLiteral("No Such Family 7f3a"), 14.0));
  EXPECT_FALSE(fontWithName(QStringLiteral("DejaVu Serif"), 0.0));
  EXPECT_FALSE(fontWithName(QStringLiteral("DejaVu Serif"), -3.0));
}

TEST_F(FontMemory, TheViewStartsWithTheDefaultFontWhenTheSavedOneCannotBeMade) {
  const QFont expected = defaultFont();
  for (const auto& [name, size] : {std::pair<QVariant, QVariant>{QVariant(), QVariant()},
                                   {QStringLiteral("DejaVu Serif"), QVariant()},
                                   {QVariant(), 14.0},
                                   {QStringLiteral("No Such Family 7f3a"), 14.0},
                                   {QStringLiteral("DejaVu Serif"), QStringLiteral("large")}}) {
    parasort::test::clearUserDefaults();
    save(name, size);
    parasort::MainInterface interface;
    EXPECT_EQ(interface.textView().font(), expected) << name.toString().toStdString();
  }
}

TEST_F(FontMemory, TheFontOfTheTextsFirstCharacterIsSavedAtTheEnd) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("first\nsecond"));
  interface.textView().text().setSelectedRange({0, 5});
  ASSERT_TRUE(parasort::FormatCommands::applyFont(interface.textView().text(), {u"DejaVu Sans Mono", 12.1}));
  interface.controller().applicationWillTerminate();
  EXPECT_TRUE(settingsFileText().contains(QStringLiteral("fontName=DejaVu Sans Mono")));
  EXPECT_TRUE(settingsFileText().contains(QStringLiteral("fontSize=12.100000381469727")));
}

}  // namespace
