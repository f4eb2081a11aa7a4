// A sorted run on disk: records with their keys, in an unnamed temporary
// file, written once and read back as often as the merge needs.
//
// A record is three numbers and two byte strings: the key's length, the
// key, the paragraph's length, the paragraph, then its start in the input
// (for --print-keys); numbers as LEB128 (seven bits a byte, low first).
#pragma once

#include "file_io.h"

#include "parasort/engine/keyed_records.h"
#include "parasort/files/buffered_writer.h"
#include "parasort/files/file_descriptor.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace parasort::cli {

class RunFile {
 public:
  // A new empty run in `directory`; the error ("DIR: REASON") when none can
  // be made there.
  static std::variant<RunFile, IoError> create(const std::string& directory);

  // Appends a record (its start: where it starts in the whole input);
  // failures show at finish().
  void append(const KeyedRecord& record);
  // Writes out what is buffered: the error ("DIR: REASON"), if any write failed.
  std::optional<IoError> finish();

  // A reader from the run's first record, with a buffer of about
  // `bufferSize` bytes (more for a record longer than that). Records read
  // back carry their start in the whole input. Each reader reads on its
  // own; the run must outlive it. A read error throws std::system_error.
  std::unique_ptr<KeyedRecordSource> read(std::size_t bufferSize) const;

 private:
  RunFile(files::FileDescriptor file, std::string directory);

  files::FileDescriptor file_;
  std::string directory_;
  std::unique_ptr<files::BufferedWriter> writer_;
};

}  // namespace parasort::cli
