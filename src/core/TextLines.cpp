#include "TextLines.h"

namespace larkspan {

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r') {
            ++end;
            if (end < text.size() && text[end] == '\n')
                ++end;
        } else if (end < text.size()) {
            ++end;  // a bare LF
        }
        start = end;
    }
    return lines;
}

}  // namespace larkspan
