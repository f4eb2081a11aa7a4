// A reproducible corpus for the benchmarks: lines like the ones people sort
// (names, words, numbered items) in mixed case, with accents, numbers and a
// share of duplicates that differ only in case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace parasort::bench {

// `lineCount` lines of UTF-8, each ended by LF, from the pseudo-random
// sequence that `seed` starts. The same arguments give the same bytes on
// every platform.
std::string generateCorpus(std::size_t lineCount, std::uint32_t seed = 20261206);

// The same lines, each after a number and a space: a numeric column, for
// -n. The numbers have up to seven digits, two decimals and a sign for a
// third of them ("-1234.56"), so that few tie.
std::string generateNumberedCorpus(std::size_t lineCount, std::uint32_t seed = 20261206);

}  // namespace parasort::bench
