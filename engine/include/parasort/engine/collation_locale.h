// Which locale's collation orders paragraphs.
//
// ICU's own default locale never looks at LC_COLLATE, so the collation
// locale is worked out here, the POSIX way: the first non-empty of LC_ALL,
// LC_COLLATE and LANG. Names may be POSIX ("sv_SE.UTF-8@euro"), ICU
// ("de@collation=phonebook") or BCP 47 ("de-DE").
#pragma once

#include <string>
#include <string_view>

namespace parasort {

// The name that decides the collation, from the three variables' values
// (null or empty meaning unset), in POSIX precedence. Empty when all three
// are unset.
std::string_view collationLocaleName(const char* lcAll, const char* lcCollate, const char* lang);

// collationLocaleName() of the process environment.
std::string userCollationLocaleName();

// The ICU locale ID for a POSIX, ICU or BCP 47 name: the codeset is dropped,
// a POSIX script modifier (@latin, @cyrillic) becomes a script subtag, other
// POSIX modifiers (@euro) are dropped, ICU keywords are kept. "C", "POSIX",
// "C.UTF-8" and the empty name all give "" (ICU's root collation).
std::string icuCollationLocale(std::string_view name);

// Whether `name` asks for the root collation on purpose: nothing at all, the
// POSIX default locale (with any codeset), or ICU's own names for root. A
// name with no language in it ("@euro", ".UTF-8") also becomes "" above, but
// by accident.
bool namesRootCollation(std::string_view name);

}  // namespace parasort
