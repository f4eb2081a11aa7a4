#include "corpus.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <array>
#include <random>
#include <string_view>
#include <vector>

namespace parasort::bench {
namespace {

constexpr std::array<std::string_view, 40> words{
    "apple",   "Banana",  "cherry",  "délice",   "Éclair",  "fjord",    "gâteau",  "hôtel",
    "item",    "jalapeño", "Kälte",  "lemon",    "mañana",  "naïve",    "Øresund", "piñata",
    "quartz",  "résumé",  "Straße",  "tomato",   "über",    "vanilla",  "walnut",  "xylophone",
    "yoghurt", "Zürich",  "ångström", "co-op",   "O'Brien", "smörgås",  "crème",   "brûlée",
    "façade",  "Æsir",    "Łódź",    "Dvořák",   "Ærø",     "Ölfusá",   "nœud",    "Ýmir"};

std::string withRandomCase(std::string_view word, std::mt19937& random) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(word.data(), static_cast<int32_t>(word.size())));
  switch (random() % 4) {
    case 0:
      text.toLower(icu::Locale::getRoot());
      break;
    case 1:
      text.toUpper(icu::Locale::getRoot());
      break;
    default:
      break;
  }
  std::string result;
  text.toUTF8String(result);
  return result;
}

}  // namespace

std::string generateCorpus(std::size_t lineCount, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string corpus;
  corpus.reserve(lineCount * 40);
  std::vector<std::size_t> lineStarts;
  lineStarts.reserve(lineCount);
  for (std::size_t line = 0; line < lineCount; ++line) {
    lineStarts.push_back(corpus.size());
    // One line in ten repeats an earlier one, maybe in another case.
    if (line > 0 && random() % 10 == 0) {
      const std::size_t earlier = lineStarts[random() % line];
      const std::size_t end = corpus.find('\n', earlier);
      const std::string previous = corpus.substr(earlier, end - earlier);
      corpus += withRandomCase(previous, random);
      corpus += '\n';
      continue;
    }
    const std::size_t wordCount = 2 + random() % 6;
    for (std::size_t word = 0; word < wordCount; ++word) {
      if (word > 0) corpus += ' ';
      corpus += withRandomCase(words[random() % words.size()], random);
      if (random() % 3 == 0) corpus += std::to_string(random() % 5000);
    }
    corpus += '\n';
  }
  return corpus;
}

std::string generateNumberedCorpus(std::size_t lineCount, std::uint32_t seed) {
  const std::string lines = generateCorpus(lineCount, seed);
  std::mt19937 random(seed + 1);
  std::string corpus;
  corpus.reserve(lines.size() + lineCount * 12);
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t end = lines.find('\n', start) + 1;
    if (random() % 3 == 0) corpus += '-';
    corpus += std::to_string(random() % 10000000);
    corpus += '.';
    const unsigned cents = random() % 100;
    corpus += static_cast<char>('0' + cents / 10);
    corpus += static_cast<char>('0' + cents % 10);
    corpus += ' ';
    corpus.append(lines, start, end - start);
    start = end;
  }
  return corpus;
}

}  // namespace parasort::bench
