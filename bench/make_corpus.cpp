// Writes the benchmark corpus to standard output: make_corpus LINES [SEED]
// [numbered] (numbered: each line after a number, a numeric column for -n).
#include "corpus.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const bool numbered = argc == 4 && std::string(argv[3]) == "numbered";
  if (argc < 2 || argc > 4 || (argc == 4 && !numbered)) {
    std::fputs("usage: make_corpus LINES [SEED] [numbered]\n", stderr);
    return 2;
  }
  const auto lines = std::strtoull(argv[1], nullptr, 10);
  const auto seed = argc >= 3 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 20261206u;
  const std::string corpus = numbered ? parasort::bench::generateNumberedCorpus(lines, seed)
                                      : parasort::bench::generateCorpus(lines, seed);
  return std::fwrite(corpus.data(), 1, corpus.size(), stdout) == corpus.size() ? 0 : 1;
}
