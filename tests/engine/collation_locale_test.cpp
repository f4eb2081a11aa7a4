#include "parasort/engine/collation_locale.h"

#include <gtest/gtest.h>

namespace {

using parasort::collationLocaleName;
using parasort::icuCollationLocale;

TEST(CollationLocaleName, FollowsPosixPrecedenceSkippingEmptyValues) {
  EXPECT_EQ(collationLocaleName("sv_SE", "de_DE", "fr_FR"), "sv_SE");
  EXPECT_EQ(collationLocaleName(nullptr, "de_DE", "fr_FR"), "de_DE");
  EXPECT_EQ(collationLocaleName("", "", "fr_FR"), "fr_FR");
  EXPECT_EQ(collationLocaleName(nullptr, nullptr, nullptr), "");
  EXPECT_EQ(collationLocaleName("", nullptr, ""), "");
}

TEST(IcuCollationLocale, PosixDefaultLocalesMeanRoot) {
  for (const char* name : {"", "C", "POSIX", "C.UTF-8", "C.utf8", "POSIX@x"})
    EXPECT_EQ(icuCollationLocale(name), "") << name;
}

TEST(IcuCollationLocale, DropsCodesetAndPlainModifiers) {
  EXPECT_EQ(icuCollationLocale("sv_SE.UTF-8"), "sv_SE");
  EXPECT_EQ(icuCollationLocale("sv_SE.UTF-8@euro"), "sv_SE");
  EXPECT_EQ(icuCollationLocale("de_DE@euro"), "de_DE");
  EXPECT_EQ(icuCollationLocale("ja"), "ja");
}

TEST(IcuCollationLocale, ScriptModifiersBecomeScriptSubtags) {
  EXPECT_EQ(icuCollationLocale("sr_RS.UTF-8@latin"), "sr_Latn_RS");
  EXPECT_EQ(icuCollationLocale("uz_UZ@cyrillic"), "uz_Cyrl_UZ");
}

TEST(IcuCollationLocale, KeepsIcuKeywordsAndReadsLanguageTags) {
  EXPECT_EQ(icuCollationLocale("de@collation=phonebook"), "de@collation=phonebook");
  EXPECT_EQ(icuCollationLocale("de-DE"), "de_DE");
  EXPECT_EQ(icuCollationLocale("zh-Hant-TW"), "zh_Hant_TW");
}

}  // namespace
