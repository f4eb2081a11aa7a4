// The paragraphs of a text in their new order, as a sequence of start
// positions that can be visited again and again, whole or as a front and a
// back half at the same time. Internal to the engine.
#pragma once

#include <cstddef>
#include <functional>
#include <memory_resource>
#include <vector>

namespace parasort::detail {

class ParagraphSequence {
 public:
  using Visit = std::function<void(std::size_t)>;

  virtual ~ParagraphSequence() = default;

  // Calls `visit(start)` for each paragraph, in output order.
  void forEachStart(const Visit& visit) const { forEachStartOfFront(orderedCount(), visit); }

  // How many paragraphs the text had before any were dropped as duplicates.
  virtual std::size_t inputParagraphCount() const noexcept = 0;

  // How many paragraphs the order runs through (duplicates may be dropped
  // on the way): the front and the back below split this count.
  virtual std::size_t orderedCount() const noexcept = 0;

  // The first `count` paragraphs of the order, forwards, and the last
  // `count`, backwards. The two may be visited at the same time on two
  // threads; a paragraph of the back that is a duplicate of the one before
  // it (which may lie in the front) is left out, so that a front and a back
  // that split the order visit exactly what `forEachStart` visits.
  virtual void forEachStartOfFront(std::size_t count, const Visit& visit) const = 0;
  virtual void forEachStartOfBackFromEnd(std::size_t count, const Visit& visit) const = 0;

  // Paragraphs `first` to `first + count` of the order, forwards. A list
  // goes straight to them; other orders go through those before.
  virtual void forEachStartFrom(std::size_t first, std::size_t count, const Visit& visit) const {
    std::size_t index = 0;
    forEachStartOfFront(first + count, [&](std::size_t start) {
      if (index++ >= first) visit(start);
    });
  }

  // Whether the order is held as a list (else it is found as it is visited).
  virtual bool isList() const noexcept { return false; }

  // Whether finding the order saw that every paragraph of the text ends
  // with a lone LF (or at the text's end): then it need not be surveyed
  // again to be written.
  virtual bool sawLineFeedsOnly() const noexcept { return false; }

  // Whether finding the order decoded every paragraph of a UTF-8 text whole
  // and found it well-formed (terminators are well-formed by what they are).
  virtual bool decodedWellFormedUtf8() const noexcept { return false; }
};

// A sequence held as a list of starts (`Starts`: a vector of an unsigned
// type wide enough for the text).
template <class Starts>
class StartList final : public ParagraphSequence {
 public:
  StartList(Starts starts, std::size_t inputParagraphCount)
      : starts_(std::move(starts)), inputParagraphCount_(inputParagraphCount) {}

  std::size_t inputParagraphCount() const noexcept override { return inputParagraphCount_; }
  std::size_t orderedCount() const noexcept override { return starts_.size(); }

  void forEachStartOfFront(std::size_t count, const Visit& visit) const override {
    for (std::size_t index = 0; index < count && index < starts_.size(); ++index) visit(starts_[index]);
  }
  void forEachStartOfBackFromEnd(std::size_t count, const Visit& visit) const override {
    for (std::size_t index = starts_.size(); index > 0 && count > 0; --index, --count) visit(starts_[index - 1]);
  }

  void forEachStartFrom(std::size_t first, std::size_t count, const Visit& visit) const override {
    for (std::size_t index = first; index < first + count && index < starts_.size(); ++index) visit(starts_[index]);
  }

  bool isList() const noexcept override { return true; }

 private:
  Starts starts_;
  std::size_t inputParagraphCount_;
};

using ParagraphStartList = StartList<std::vector<std::size_t>>;
// The smallest form an order takes: 32-bit starts where the text allows.
template <class Offset>
using CompactStartList = StartList<std::pmr::vector<Offset>>;

}  // namespace parasort::detail
