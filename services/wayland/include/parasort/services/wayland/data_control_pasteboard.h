// The Wayland clipboard as a Pasteboard, through the data-control protocol
// on a connection of the pasteboard's own: no window and no keyboard focus
// are needed, so the services work whichever application the user is in.
//
// Every read first catches up with the compositor, so the types and the
// text are those of the clipboard at the time of the call, never older.
// Plain text is read under its best name (see plain_text_types.h) within a
// time limit; a source that does not finish in time gives no text. Declaring
// types claims the clipboard with a source of the pasteboard's own; the
// strings set afterwards are what it hands out when asked, so a result is
// offered under every plain-text name with the same bytes at once. The
// source answers from the thread that calls dispatchEvents() whenever
// eventDescriptor() is readable, until another client takes the clipboard.
#pragma once

#include "parasort/services/pasteboard.h"

#include <chrono>
#include <cstdint>
#include <memory>

namespace parasort {

// The data-control managers that a compositor advertises (0: not at all).
struct DataControlGlobals {
  bool reached = false;  // a compositor answered on WAYLAND_DISPLAY
  std::uint32_t extVersion = 0;
  std::uint32_t wlrVersion = 0;
};

// Asks the compositor named by WAYLAND_DISPLAY on a short connection.
DataControlGlobals findDataControlGlobals();

class DataControlPasteboard final : public Pasteboard {
 public:
  enum class Protocol { ext, wlr };
  struct Limits {
    std::chrono::milliseconds read{5000};   // to read the whole of a selection
    std::chrono::milliseconds write{10000};  // for a reader to take the next bytes of a result
  };

  // The clipboard of the first seat of the compositor named by
  // WAYLAND_DISPLAY, through `protocol`; nothing when the compositor cannot
  // be reached or lacks the protocol or a seat.
  static std::unique_ptr<DataControlPasteboard> open(Protocol protocol, Limits limits);
  static std::unique_ptr<DataControlPasteboard> open(Protocol protocol) { return open(protocol, Limits{}); }
  ~DataControlPasteboard() override;

  std::vector<std::string> types() const override;
  std::optional<std::u16string> stringForType(std::string_view type) const override;
  void declareTypes(std::span<const std::string> types) override;
  bool setString(std::u16string_view string, std::string_view type) override;

  // The connection's descriptor: when it is readable, call dispatchEvents().
  int eventDescriptor() const;
  void dispatchEvents();
  // False once the connection has failed (the compositor went away): from
  // then on the pasteboard lists nothing and there is nothing to dispatch.
  bool connected() const;

  struct Session;

 private:
  explicit DataControlPasteboard(std::unique_ptr<Session> session);
  std::unique_ptr<Session> session_;
};

}  // namespace parasort
