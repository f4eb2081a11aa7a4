// The exchange of text between a service request and its pasteboard, shared
// by all the services entry points.
#pragma once

#include "parasort/services/pasteboard.h"

#include <optional>
#include <string>
#include <string_view>

namespace parasort {

// The messages a service request can fail with, stored as they are: the two
// of a pasteboard without usable text, and the one of a result that the
// pasteboard would not take (a clipboard owner that could not be started),
// which must never pass for success.
inline constexpr std::u16string_view unsupportedDataTypeMessage = u"Unsupported data type";
inline constexpr std::u16string_view noStringDataMessage = u"No String Data";
inline constexpr std::u16string_view resultNotSetMessage = u"Could not set the clipboard";

// A caller's error location: it stays as the caller set it (usually empty)
// unless a request fails, and then holds one of the messages.
using ServiceError = std::optional<std::u16string>;

// The pasteboard's plain text. When the pasteboard does not list the plain
// string type, stores unsupportedDataTypeMessage in `*error`; when it lists
// it but gives no text, stores noStringDataMessage; both return nothing.
// `error` is left untouched on success and may be null (the failure then
// shows only in the result). Never writes to the pasteboard.
std::optional<std::u16string> ReadServiceString(const Pasteboard& pasteboard, ServiceError* error);

// Replaces the pasteboard's contents with `string` as plain text only: the
// plain string type is declared alone (every other type is dropped), then the
// string is set. Given nothing, leaves the pasteboard as it is. Returns
// false when the pasteboard did not take the string.
bool WriteServiceString(Pasteboard& pasteboard, const std::optional<std::u16string>& string);

}  // namespace parasort
