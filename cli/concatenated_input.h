// Several inputs read one after another as one stream of bytes, the text
// they make when read whole: after an input that does not end with a
// terminator, when more text follows, a separator of the kind the text uses
// first (NUL for NUL-terminated records); the byte order marks of all but
// the first input left out. Pipes among them are read as they come, so the
// stream can be taken a piece at a time in bounded memory.
#pragma once

#include "input_files.h"

#include "parasort/engine/arrangement.h"
#include "parasort/files/file_descriptor.h"

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::cli {

class ConcatenatedInput {
 public:
  ConcatenatedInput(std::vector<std::string> paths, RecordTerminators terminators);

  // Reads at most `room` (at least 1) bytes of the stream into `into`: the
  // count, 0 at the end of the last input, or -1 with errno set when an
  // input cannot be opened or read (failedPath() names it).
  ssize_t read(char* into, std::size_t room);
  const std::string& failedPath() const noexcept { return paths_[failedInput_]; }

  // Checks that `bytes`, the stream from `streamOffset` on, is UTF-8 input
  // by input (a sequence cut off at an input's end is ill-formed), and names
  // the first ill-formed byte by its input and its offset there. `bytes`
  // must start where a character starts; stretches before them are
  // forgotten.
  std::optional<InputProblem> checkUtf8(std::string_view bytes, std::size_t streamOffset);

  // The kind of terminator the stream uses first, once it has one.
  std::optional<std::string_view> firstSeparator() const;

 private:
  // Where the bytes from `streamOffset` on came from: `input`'s bytes from
  // `inputOffset` on, or (input `separatorInput`) a separator put in.
  struct Stretch {
    std::size_t streamOffset;
    std::size_t input;
    std::size_t inputOffset;
  };
  static constexpr std::size_t separatorInput = static_cast<std::size_t>(-1);

  // The current input opened, and its first bytes read up to where a byte
  // order mark would end: false when it failed (errno set).
  bool start();
  ssize_t readCurrent(char* into, std::size_t room);
  void nextInput();
  // Hands out `bytes` (at most `room` of them) of `input`, from `inputOffset`.
  std::size_t handOut(char* into, std::size_t room, std::string_view bytes, std::size_t input,
                      std::size_t inputOffset);
  // Takes note of `bytes` of `input`, from `inputOffset`, going out.
  void note(std::string_view bytes, std::size_t input, std::size_t inputOffset);
  void findFirstSeparator(std::string_view bytes);
  bool endsWithTerminator() const noexcept;

  // Bytes to hand out before reading on: a separator put in, or the first
  // bytes of an input.
  struct Waiting {
    std::string bytes;
    std::size_t input;
    std::size_t inputOffset;
  };

  std::vector<std::string> paths_;
  RecordTerminators terminators_;
  std::size_t input_ = 0;  // the input being read
  files::FileDescriptor file_;
  int descriptor_ = -1;  // of the current input, once started
  std::size_t inputOffset_ = 0;  // how far the current input is read
  bool inputEnded_ = false;
  std::vector<Waiting> waiting_;
  std::size_t failedInput_ = 0;

  std::size_t streamLength_ = 0;
  std::size_t byteOrderMarkLength_ = 0;  // the first input's, kept at the start
  std::string lastBytes_;  // the stream's last (up to three) bytes
  std::vector<Stretch> stretches_;
  // The first terminator, once found; `carriageReturnPending_` while the
  // stream ends with the CR that may be the start of a CR LF.
  std::string_view firstSeparator_;
  bool carriageReturnPending_ = false;
  std::size_t paragraphSeparatorSeen_ = 0;  // how many bytes of a U+2029 end the stream
};

}  // namespace parasort::cli
