// The three services that other applications invoke on their selected text.
//
// Each entry point takes the plain text off `pasteboard`, transforms it and
// writes the result back to the same pasteboard as plain text only (every
// other type it offered is gone), even when the text comes back unchanged (an
// empty text or a single paragraph). When the pasteboard offers no plain text
// the request fails: `*error` receives "Unsupported data type" or
// "No String Data", the pasteboard is not touched and no transform runs. On
// success `*error` keeps whatever the caller put there. `error` may be null.
// `userData` is ignored. The entry points hold no state and never throw.
#pragma once

#include "parasort/services/pasteboard.h"
#include "parasort/services/service_exchange.h"

#include "parasort/engine/arrangement.h"

#include <functional>
#include <string>
#include <string_view>

namespace parasort::SystemServiceProvider {

// The paragraphs in ascending order (sortedParagraphOfString, ascending).
void sspSortParagraphsAscending(Pasteboard& pasteboard, std::u16string_view userData, ServiceError* error);

// The paragraphs in descending order (sortedParagraphOfString, descending).
void sspSortParagraphsDescending(Pasteboard& pasteboard, std::u16string_view userData, ServiceError* error);

// One of each paragraph, in ascending order (uniqueParagraphOfString).
void sspUniqueParagraphs(Pasteboard& pasteboard, std::u16string_view userData, ServiceError* error);

// Any operation's service: its paragraphs arranged in `order` by the user's
// collation locale under `collation`, with `options`' key and random seed.
// The three entry points above are this for their orders, with the default
// options.
void serveParagraphOperation(Pasteboard& pasteboard, ParagraphOrder order, ServiceError* error,
                             const CollationOptions& collation = {}, const ArrangeOptions& options = {});

// The road that every entry point follows, with the transform it applies:
// read, then transform, then write; on a failed read, stop at once.
using ParagraphTransform = std::function<std::u16string(std::u16string_view)>;
void serveParagraphRequest(Pasteboard& pasteboard, ServiceError* error, const ParagraphTransform& transform);

}  // namespace parasort::SystemServiceProvider
