#include "DocumentKinds.h"

#include <array>

namespace larkspan {

namespace {

constexpr std::array richDocuments{"*.doc*.lnk", "*.xml.lnk", "*.odf.lnk", "*.odt.lnk", "*.pdf.lnk",
                                   "*.vts.lnk",  "*.xls*.lnk", "*.txt.lnk", "*.rt*.lnk", "*.*ht*.lnk",
                                   "*.htm.lnk",  "*.html.lnk", "*.mht.lnk"};
constexpr std::array textDocuments{"*.txt.lnk", "*.csv.lnk", "*.pas.lnk", "*.dat.lnk",
                                   "*.cpp.lnk", "*.h.lnk",   "*.sql.lnk", "*.ini.lnk"};
constexpr std::array spreadsheetFiles{"*.vts.lnk", "*.xls*.lnk", "*.wk*.lnk", "*.dif.lnk",
                                      "*.slk.lnk", "*.csv.lnk",  "*.txt.lnk", "*.xml.lnk"};
constexpr std::array graphicFiles{"*.bmp.lnk", "*.gif.lnk", "*.jpg.lnk", "*.jpeg.lnk",
                                  "*.png.lnk", "*.ico.lnk", "*.pht.lnk", "*.*mf.lnk"};
constexpr std::array musicFiles{"*.mp3.lnk", "*.wma.lnk", "*.wav.lnk", "*.ogg.lnk", "*.oga.lnk", "*.wvl.lnk"};
constexpr std::array movieFiles{"*.mpg.lnk", "*.mvq.lnk", "*.wmv.lnk", "*.mpeg.lnk", "*.asx.lnk",
                                "*.asf.lnk", "*.avi.lnk", "*.mov.lnk", "*.mp4.lnk"};

std::size_t LastDelimiter(std::string_view name, std::string_view delimiters)
{
    return name.find_last_of(delimiters);
}

}  // namespace

std::span<const char* const> CategoryPatterns(DocumentCategory category)
{
    switch (category) {
    case DocumentCategory::RichDocuments: return richDocuments;
    case DocumentCategory::TextDocuments: return textDocuments;
    case DocumentCategory::SpreadsheetFiles: return spreadsheetFiles;
    case DocumentCategory::GraphicFiles: return graphicFiles;
    case DocumentCategory::MusicFiles: return musicFiles;
    case DocumentCategory::MovieFiles: return movieFiles;
    }
    return {};
}

std::string_view ExtractFileExt(std::string_view name)
{
    const std::size_t i = LastDelimiter(name, ".\\:");
    if (i == std::string_view::npos || name[i] != '.')
        return {};
    return name.substr(i);
}

std::string_view ExtractFileName(std::string_view name)
{
    const std::size_t i = LastDelimiter(name, "\\:");
    return i == std::string_view::npos ? name : name.substr(i + 1);
}

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool IsShortcutName(std::string_view name)
{
    return LowerAscii(ExtractFileExt(name)) == ".lnk";
}

bool IsBareName(std::string_view name)
{
    return name.find_first_of("\\/:") == std::string_view::npos;
}

}  // namespace larkspan
