#include "parasort/engine/collation_locale.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using parasort::collationLocaleName;
using parasort::icuCollationLocale;

TEST(CollationLocaleName, FollowsPosixPrecedenceSkippingEmptyValues) {
  EXPECT_EQ(collationLocaleName("sv_SE", "de_DE", "fr_FR"), "sv_SE");
  EXPECT_EQ(collationLocaleName(nullptr, "de_DE", "fr_FR"), "de_DE");
  EXPECT_EQ(collationLocaleName("", "", "fr_FR"), "fr_FR");
  EXPECT_EQ(collationLocaleName("", nullptr, ""), "");
}

TEST(IcuCollationLocale, MapsPosixNamesAndLanguageTags) {
  const std::pair<const char*, const char*> names[] = {
      // The POSIX defaults mean root.
      {"", ""}, {"C", ""}, {"POSIX", ""}, {"C.UTF-8", ""}, {"C.utf8", ""}, {"POSIX@x", ""},
      // Codesets and plain modifiers go.
      {"sv_SE.UTF-8", "sv_SE"}, {"sv_SE.UTF-8@euro", "sv_SE"}, {"de_DE@euro", "de_DE"}, {"ja", "ja"},
      // Script modifiers become script subtags.
      {"sr_RS.UTF-8@latin", "sr_Latn_RS"}, {"uz_UZ@cyrillic", "uz_Cyrl_UZ"},
      // ICU keywords stay; language tags are read.
      {"de@collation=phonebook", "de@collation=phonebook"}, {"de-DE", "de_DE"}, {"zh-Hant-TW", "zh_Hant_TW"},
  };
  for (const auto& [name, icu] : names) EXPECT_EQ(icuCollationLocale(name), icu) << name;
}

}  // namespace
