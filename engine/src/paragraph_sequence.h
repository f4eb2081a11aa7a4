// The paragraphs of a text in their new order, as a sequence of start
// positions that can be visited again and again. Internal to the engine.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace parasort::detail {

class ParagraphSequence {
 public:
  virtual ~ParagraphSequence() = default;

  // Calls `visit(start)` for each paragraph, in output order.
  virtual void forEachStart(const std::function<void(std::size_t)>& visit) const = 0;

  // How many paragraphs the text had before any were dropped as duplicates.
  virtual std::size_t inputParagraphCount() const noexcept = 0;
};

// A sequence held as a list.
class ParagraphStartList final : public ParagraphSequence {
 public:
  ParagraphStartList(std::vector<std::size_t> starts, std::size_t inputParagraphCount)
      : starts_(std::move(starts)), inputParagraphCount_(inputParagraphCount) {}

  void forEachStart(const std::function<void(std::size_t)>& visit) const override {
    for (std::size_t start : starts_) visit(start);
  }
  std::size_t inputParagraphCount() const noexcept override { return inputParagraphCount_; }

 private:
  std::vector<std::size_t> starts_;
  std::size_t inputParagraphCount_;
};

}  // namespace parasort::detail
