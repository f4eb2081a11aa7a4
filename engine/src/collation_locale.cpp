#include "parasort/engine/collation_locale.h"

#include <unicode/uloc.h>

#include <array>
#include <cstdlib>

namespace parasort {
namespace {

bool isSet(const char* value) { return value != nullptr && *value != '\0'; }

// language[_territory][.codeset][@modifier] -> language[_territory]
std::string_view languageOf(std::string_view name) { return name.substr(0, name.find_first_of(".@")); }

// The POSIX locales that mean "no particular language": plain code point
// order there, which the root collation is the closest defined match for.
bool isPosixDefault(std::string_view language) { return language == "C" || language == "POSIX"; }

std::string canonicalize(const std::string& id) {
  std::array<char, ULOC_FULLNAME_CAPACITY> buffer{};
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = uloc_canonicalize(id.c_str(), buffer.data(), buffer.size(), &status);
  if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING) return id;
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string fromLanguageTag(const std::string& tag) {
  std::array<char, ULOC_FULLNAME_CAPACITY> buffer{};
  UErrorCode status = U_ZERO_ERROR;
  int32_t parsedLength = 0;
  const int32_t length =
      uloc_forLanguageTag(tag.c_str(), buffer.data(), buffer.size(), &parsedLength, &status);
  if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING || parsedLength == 0)
    return tag;
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// "sr_RS" + "latin" -> "sr_Latn_RS".
std::string withScript(std::string_view languageAndRegion, std::string_view script) {
  const std::size_t underscore = languageAndRegion.find('_');
  if (underscore == std::string_view::npos) return std::string(languageAndRegion) + "_" + std::string(script);
  return std::string(languageAndRegion.substr(0, underscore)) + "_" + std::string(script) +
         std::string(languageAndRegion.substr(underscore));
}

}  // namespace

std::string_view collationLocaleName(const char* lcAll, const char* lcCollate, const char* lang) {
  for (const char* value : {lcAll, lcCollate, lang})
    if (isSet(value)) return value;
  return {};
}

std::string userCollationLocaleName() {
  return std::string(collationLocaleName(std::getenv("LC_ALL"), std::getenv("LC_COLLATE"),
                                         std::getenv("LANG")));
}

bool namesRootCollation(std::string_view name) {
  return name.empty() || isPosixDefault(languageOf(name)) || name == "root" || name == "und";
}

std::string icuCollationLocale(std::string_view name) {
  if (const std::string_view language = languageOf(name); language.empty() || isPosixDefault(language))
    return {};

  const bool posixStyle = name.find('_') != std::string_view::npos ||
                          name.find('.') != std::string_view::npos ||
                          name.find('-') == std::string_view::npos;
  if (!posixStyle) return canonicalize(fromLanguageTag(std::string(name)));

  // language[_territory][.codeset][@modifier]; an ICU keyword list
  // ("@collation=phonebook") is kept as it is.
  const std::size_t at = name.find('@');
  std::string_view modifier = at == std::string_view::npos ? std::string_view{} : name.substr(at + 1);
  std::string_view base = name.substr(0, at);
  base = base.substr(0, base.find('.'));

  std::string id(base);
  if (modifier.find('=') != std::string_view::npos) {
    id += "@";
    id += modifier;
  } else if (modifier == "latin") {
    id = withScript(base, "Latn");
  } else if (modifier == "cyrillic") {
    id = withScript(base, "Cyrl");
  }
  return canonicalize(id);
}

}  // namespace parasort
