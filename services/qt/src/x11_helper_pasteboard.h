// The X11 clipboard, for a window on Wayland whose compositor offers no
// data-control (GNOME's mutter): through parasort-x11-clipboard, a helper
// process on XWayland, which mutter lets use the clipboard without focus.
//
// A read starts the helper for the types and the text at once; the text is
// kept only for the stringForType() that follows it, so no request sorts
// text older than its own types() call. A write starts a helper that takes
// the clipboard, says so, and serves it until another client takes it (the
// editor's exit does not empty the clipboard). A helper that does not
// answer within the limit is stopped and counts as no text.
#pragma once

#include "parasort/services/pasteboard.h"

#include <chrono>
#include <string>

namespace parasort {

class X11HelperPasteboard final : public Pasteboard {
 public:
  // `helper`: the program; by default the one installed beside the editor.
  explicit X11HelperPasteboard(std::string helper = defaultHelper(),
                               std::chrono::milliseconds limit = std::chrono::milliseconds(5000));

  std::vector<std::string> types() const override;
  std::optional<std::u16string> stringForType(std::string_view type) const override;
  void declareTypes(std::span<const std::string> types) override;
  bool setString(std::u16string_view string, std::string_view type) override;

  static std::string defaultHelper();

 private:
  struct Snapshot {
    std::vector<std::string> types;
    std::optional<std::u16string> text;
  };
  Snapshot read() const;

  std::string helper_;
  std::chrono::milliseconds limit_;
  mutable std::optional<Snapshot> lastRead_;  // the types() call's text, for the read that follows
  std::vector<std::string> declared_;
};

}  // namespace parasort
