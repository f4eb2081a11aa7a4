#include "parasort/services/wayland/plain_text_types.h"

#include "parasort/services/pasteboard.h"

#include <unicode/ustring.h>

#include <algorithm>
#include <array>

namespace parasort {
namespace {

using namespace std::string_view_literals;
constexpr std::array plainTextNames{"text/plain;charset=utf-8"sv, "UTF8_STRING"sv, "text/plain"sv, "TEXT"sv,
                                    "STRING"sv};

}  // namespace

std::span<const std::string_view> plainTextTypes() { return plainTextNames; }

bool isPlainTextType(std::string_view type) { return std::ranges::find(plainTextNames, type) != plainTextNames.end(); }

std::optional<std::string> bestPlainTextType(std::span<const std::string> offered) {
  for (const std::string_view name : plainTextNames)
    if (std::ranges::find(offered, name) != offered.end()) return std::string(name);
  return std::nullopt;
}

std::vector<std::string> servicesTypesOf(std::span<const std::string> offered) {
  std::vector<std::string> types;
  bool plainTextListed = false;
  for (const std::string& type : offered) {
    if (!isPlainTextType(type)) {
      types.push_back(type);
    } else if (!plainTextListed) {
      types.emplace_back(stringPboardType);
      plainTextListed = true;
    }
  }
  return types;
}

std::u16string textOfClipboardBytes(std::string_view bytes, std::string_view type) {
  if (type == "STRING") {  // Latin-1: one code unit per byte
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) text.push_back(static_cast<unsigned char>(byte));
    return text;
  }
  std::u16string text(bytes.size(), u'\0');  // never more UTF-16 units than UTF-8 bytes
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, bytes.data(),
                       static_cast<int32_t>(bytes.size()), 0xFFFD, nullptr, &status);
  text.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::string utf8Of(std::u16string_view text) {
  std::string bytes(text.size() * 3, '\0');  // at most three bytes per UTF-16 unit
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(bytes.data(), static_cast<int32_t>(bytes.size()), &length, text.data(),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  bytes.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return bytes;
}

}  // namespace parasort
