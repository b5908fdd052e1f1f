// Names of documents and the wildcard patterns of the widget's categories.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace larkspan {

enum class DocumentCategory {
    RichDocuments,
    TextDocuments,
    SpreadsheetFiles,
    GraphicFiles,
    MusicFiles,
    MovieFiles,
};

// The recent-folder patterns of a category, in scan order. Patterns overlap on
// purpose: a shortcut matched by two of them is listed twice.
std::span<const char* const> CategoryPatterns(DocumentCategory category);

// The extension from the last '.' that follows the last '\' or ':', or "".
std::string_view ExtractFileExt(std::string_view name);

// What follows the last '\' or ':' (the whole text when there is none).
std::string_view ExtractFileName(std::string_view name);

// ASCII lower-casing, as the extension comparisons of the widget use it.
std::string LowerAscii(std::string_view text);

// True when the lower-cased extension is ".lnk": the item names a shortcut of
// the recent-documents folder rather than a document path.
bool IsShortcutName(std::string_view name);

// True when the text names a file without any folder or drive part.
bool IsBareName(std::string_view name);

}  // namespace larkspan
