// Writes the benchmark corpus to standard output: make_corpus LINES [SEED]
#include "corpus.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: make_corpus LINES [SEED]\n", stderr);
    return 2;
  }
  const auto lines = std::strtoull(argv[1], nullptr, 10);
  const std::string corpus =
      argc == 3 ? parasort::bench::generateCorpus(lines, static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)))
                : parasort::bench::generateCorpus(lines);
  return std::fwrite(corpus.data(), 1, corpus.size(), stdout) == corpus.size() ? 0 : 1;
}
