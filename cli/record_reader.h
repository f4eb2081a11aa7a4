// Reading a file record by record, for merging files that are in order
// already without holding them: a buffer of the file's next part at a time.
#pragma once

#include "parasort/files/file_descriptor.h"
#include "input_files.h"

#include "parasort/engine/arrangement.h"
#include "parasort/engine/sorted_merge.h"

#include <optional>
#include <string>
#include <string_view>

namespace parasort::cli {

class FileRecords final : public RecordStream {
 public:
  // Opens `path` ("-": standard input); a failure shows in problem().
  FileRecords(std::string path, RecordTerminators terminators);

  // The next record; nothing at the end or after a problem. A leading byte
  // order mark is not part of the first record.
  std::optional<std::string_view> next() override;

  const std::optional<InputProblem>& problem() const noexcept { return problem_; }
  bool hadByteOrderMark() const noexcept { return hadByteOrderMark_; }
  // The first terminator read (empty while there was none).
  std::string_view firstTerminator() const noexcept { return firstTerminator_; }
  // Whether the file ended with a terminator (once next() gave nothing).
  bool endedWithTerminator() const noexcept { return endedWithTerminator_; }
  // Whether it held no record at all (once next() gave nothing).
  bool wasEmpty() const noexcept { return records_ == 0; }

 private:
  // Reads more into the buffer; false at the end of the file or on an error.
  bool fill();
  // The terminator at `index` of the buffer (its length), 0 when none starts
  // there; nothing when the buffer ends too soon to tell.
  std::optional<std::size_t> terminatorAt(std::size_t index) const;

  std::string path_;
  files::FileDescriptor file_;
  int descriptor_ = -1;
  RecordTerminators terminators_;
  std::string buffer_;
  std::size_t position_ = 0;  // the next record's start in the buffer
  std::size_t scanned_ = 0;   // how far past it no terminator starts
  std::size_t offset_ = 0;    // of the buffer's start in the file
  std::size_t records_ = 0;
  bool atEnd_ = false;
  bool started_ = false;
  bool hadByteOrderMark_ = false;
  bool endedWithTerminator_ = false;
  std::string firstTerminator_;
  std::optional<InputProblem> problem_;
};

}  // namespace parasort::cli
