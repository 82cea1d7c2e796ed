#pragma once

#include <QString>

// What the informational document may hold to be shown with its formatting.
// Any reasonable page stays far below; beyond them the rich-text layout can
// keep the UI thread busy for seconds or, for nested tables, for ever.
namespace info_document {

constexpr int kMaxElements = 1000;
constexpr int kMaxDepth = 32;
// Each level of tables in tables doubles the time their layout takes.
constexpr int kMaxTableDepth = 3;
// The layout of a line without a break takes the square of its length.
constexpr int kMaxTextCharacters = 16000;

}  // namespace info_document

// The document as the log shows it: the HTML itself when it stays within the
// limits, or else a line saying why and the document's text without markup,
// cut to kMaxTextCharacters. One pass over the document, for the fetch
// thread, so that nothing the UI thread does with the result can take long.
QString PrepareInfoDocument(const QString& html);
