// Texts that describe a document: its size and the three-line properties text.
#pragma once

#include <cstdint>
#include <string>

namespace larkspan {

// Size text with the widget's thresholds: below 1000 in bytes, below 1,000,000
// in whole KBytes (div 1024), otherwise MBytes of 1,024,000 bytes written with
// the pattern "#.00": no digit before the separator when the integer part is 0,
// two decimals rounded half up.
std::string FormatSizeText(std::uint64_t size, char decimalSeparator);

// What the selection handler learned about a document.
struct DocumentFacts {
    std::string path;
    bool readable = false;   // the document could be opened for reading
    bool sizeKnown = false;  // its size could be read (false for odd objects)
    std::string modified;    // last-write time, already rendered as local text
    std::uint64_t size = 0;
};

// The properties text kept in the list's hint: the path alone when the
// document cannot be read, otherwise up to three lines indented by two spaces,
// ended by two spaces and separated by blank lines.
std::string ComposePropertiesText(const DocumentFacts& facts, char decimalSeparator);

}  // namespace larkspan
