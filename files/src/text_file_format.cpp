#include "parasort/files/text_file_format.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace parasort::files {
namespace {

struct ByteOrderMark {
  std::string_view bytes;
  const char* encoding;
};

// Longest first: UTF-32LE's mark begins with UTF-16LE's.
using namespace std::string_view_literals;
constexpr std::array byteOrderMarks{
    ByteOrderMark{"\xFF\xFE\x00\x00"sv, "UTF-32LE"}, ByteOrderMark{"\x00\x00\xFE\xFF"sv, "UTF-32BE"},
    ByteOrderMark{"\xEF\xBB\xBF"sv, "UTF-8"},        ByteOrderMark{"\xFF\xFE"sv, "UTF-16LE"},
    ByteOrderMark{"\xFE\xFF"sv, "UTF-16BE"}};

// Below this, the detector's guess of UTF-16 or UTF-32 without a byte order
// mark is a guess about a handful of bytes ("a\0b\n"), not about text.
constexpr int32_t leastConfidenceInUnmarkedUnicode = 50;

// When the detector's candidates all fail (short texts give it little to go
// on): the western encoding of most old files, then the one that takes any byte.
constexpr std::array fallbackEncodings{"windows-1252", "ISO-8859-1"};

bool isUnicode(std::string_view encoding) { return encoding.starts_with("UTF-"); }

// Characters that no text holds: NUL anywhere, and in a file of a legacy
// encoding (where any byte decodes to something) the C0 controls but tab,
// the line and page breaks, escape and the old end-of-file mark.
bool looksBinary(std::u16string_view text, bool legacyEncoding) {
  for (const char16_t unit : text) {
    if (unit >= 0x20) continue;
    if (unit == 0) return true;
    if (legacyEncoding && !(unit >= u'\t' && unit <= u'\r') && unit != 0x1A && unit != 0x1B) return true;
  }
  return false;
}

struct ConverterClose {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

// A converter that stops at the first byte or character it cannot convert.
Converter strictConverter(const char* encoding) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(encoding, &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  if (U_FAILURE(status)) return nullptr;
  return converter;
}

bool fromUtf8(std::string_view bytes, std::u16string& text) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  text.resize(bytes.size());  // never more units than bytes
  u_strFromUTF8(reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()), &length, bytes.data(),
                static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return false;
  text.resize(static_cast<std::size_t>(length));
  return true;
}

bool convert(const char* encoding, std::string_view bytes, std::u16string& text) {
  if (std::string_view(encoding) == "UTF-8") return fromUtf8(bytes, text);
  const Converter converter = strictConverter(encoding);
  if (!converter) return false;
  UErrorCode status = U_ZERO_ERROR;
  // A byte gives at most two units (a supplementary character from four bytes gives two).
  text.resize(bytes.size() * 2 + 2);
  const int32_t length =
      ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()),
                    bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return false;
  text.resize(static_cast<std::size_t>(length));
  return true;
}

struct DetectorClose {
  void operator()(UCharsetDetector* detector) const { ucsdet_close(detector); }
};

// The text of `bytes` in the likeliest encoding ICU's detector names whose
// conversion succeeds and gives text, or why there is none.
std::variant<DecodedTextFile, NotText> detected(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<UCharsetDetector, DetectorClose> detector(ucsdet_open(&status));
  ucsdet_setText(detector.get(), bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
  if (U_FAILURE(status)) return NotText::unknownEncoding;
  std::vector<const char*> candidates;
  for (int32_t i = 0; i < count; ++i) {
    const char* encoding = ucsdet_getName(matches[i], &status);
    if (U_FAILURE(status)) return NotText::unknownEncoding;
    if (!isUnicode(encoding) || ucsdet_getConfidence(matches[i], &status) >= leastConfidenceInUnmarkedUnicode)
      candidates.push_back(encoding);
  }
  candidates.insert(candidates.end(), fallbackEncodings.begin(), fallbackEncodings.end());
  NotText why = NotText::unknownEncoding;
  DecodedTextFile file;
  for (const char* encoding : candidates) {
    if (!convert(encoding, bytes, file.text)) continue;
    if (looksBinary(file.text, !isUnicode(encoding))) {
      why = NotText::binary;
      continue;
    }
    file.format.encoding = encoding;
    return file;
  }
  return why;
}

// Finds the line ending, turns every ending into LF and takes off the last one.
void takeLineEndings(DecodedTextFile& file) {
  std::u16string& text = file.text;
  const std::size_t first = text.find_first_of(u"\r\n");
  file.format.lineEnding = first == std::u16string::npos || text[first] == u'\n' ? LineEnding::lf
                           : first + 1 < text.size() && text[first + 1] == u'\n' ? LineEnding::crLf
                                                                                  : LineEnding::cr;
  if (first != std::u16string::npos && text.find(u'\r', first) != std::u16string::npos) {
    std::size_t kept = first;
    for (std::size_t i = first; i < text.size(); ++i) {
      if (text[i] == u'\r') {
        text[kept++] = u'\n';
        if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      } else {
        text[kept++] = text[i];
      }
    }
    text.resize(kept);
  }
  file.format.finalLineEnding = !text.empty() && text.back() == u'\n';
  if (file.format.finalLineEnding) text.pop_back();
}

}  // namespace

std::variant<DecodedTextFile, NotText> decodeTextFile(std::string_view bytes) {
  DecodedTextFile file;
  bool decoded = false;
  for (const ByteOrderMark& mark : byteOrderMarks) {
    if (!bytes.starts_with(mark.bytes)) continue;
    if (convert(mark.encoding, bytes.substr(mark.bytes.size()), file.text)) {
      file.format.encoding = mark.encoding;
      file.format.byteOrderMark = true;
      decoded = true;
    }
    break;
  }
  if (!decoded && fromUtf8(bytes, file.text)) {
    file.format.encoding = "UTF-8";
    decoded = true;
  }
  if (decoded && looksBinary(file.text, false)) {
    // UTF-16 without a mark is valid UTF-8 full of NULs: the detector may know it.
    auto other = detected(bytes);
    auto* found = std::get_if<DecodedTextFile>(&other);
    if (found == nullptr || !isUnicode(found->format.encoding) || found->format.encoding == "UTF-8")
      return NotText::binary;
    file = std::move(*found);
  } else if (!decoded) {
    auto other = detected(bytes);
    if (std::holds_alternative<NotText>(other)) return std::get<NotText>(other);
    file = std::move(std::get<DecodedTextFile>(other));
  }
  takeLineEndings(file);
  return file;
}

bool encodeTextFile(std::u16string_view text, const TextFileFormat& format, std::string& bytes,
                    char32_t& unencodable) {
  const std::u16string_view ending = format.lineEnding == LineEnding::lf     ? u"\n"
                                     : format.lineEnding == LineEnding::crLf ? u"\r\n"
                                                                             : u"\r";
  std::u16string full;
  full.reserve(text.size() + text.size() / 16 + 4);
  if (format.byteOrderMark) full += u'\uFEFF';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == u'\n' || unit == u'\u2029') {
      full += ending;
    } else if (unit == u'\r') {
      full += ending;
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      full += unit;
    }
  }
  if (format.finalLineEnding) full += ending;

  const Converter converter = strictConverter(format.encoding.c_str());
  if (!converter) {
    unencodable = 0;
    return false;
  }
  bytes.resize(full.size() * static_cast<std::size_t>(ucnv_getMaxCharSize(converter.get())) + 8);
  const UChar* source = reinterpret_cast<const UChar*>(full.data());
  const UChar* const sourceEnd = source + full.size();
  char* target = bytes.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source, sourceEnd, nullptr, true,
                   &status);
  if (U_FAILURE(status)) {
    // The stop callback leaves `source` just past the character it could not write.
    const auto past = static_cast<std::size_t>(source - reinterpret_cast<const UChar*>(full.data()));
    std::size_t start = past > 0 ? past - 1 : 0;
    if (start > 0 && U16_IS_TRAIL(full[start]) && U16_IS_LEAD(full[start - 1])) --start;
    UChar32 character = 0;
    U16_GET(full.data(), 0, start, static_cast<int32_t>(full.size()), character);
    unencodable = static_cast<char32_t>(character);
    return false;
  }
  bytes.resize(static_cast<std::size_t>(target - bytes.data()));
  return true;
}

std::string_view nameOf(LineEnding lineEnding) {
  switch (lineEnding) {
    case LineEnding::lf:
      return "LF";
    case LineEnding::crLf:
      return "CR LF";
    case LineEnding::cr:
      return "CR";
  }
  return "LF";
}

}  // namespace parasort::files
