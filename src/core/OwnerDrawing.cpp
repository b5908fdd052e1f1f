#include "OwnerDrawing.h"

#include "DocumentKinds.h"

#include <cmath>

namespace larkspan {

std::vector<GradientLine> GradientLines(int extent, std::span<const Rgb> stops)
{
    if (stops.size() < 2)
        throw EMathError("Es m\xFCssen mindestens zwei Farben angegeben werden.");
    const int segments = static_cast<int>(stops.size()) - 1;
    const int length = static_cast<int>(std::nearbyint(static_cast<double>(extent) / segments));
    std::vector<GradientLine> lines;
    for (int i = 0; i < segments; ++i) {
        const int limit = i == segments - 1 ? extent - i * length - 1 : length;
        const Rgb& a = stops[static_cast<std::size_t>(i)];
        const Rgb& b = stops[static_cast<std::size_t>(i) + 1];
        for (int j = 0; j <= limit; ++j) {
            // A segment of no length is drawn in its start colour.
            const double t = limit > 0 ? static_cast<double>(j) / limit : 0.0;
            auto channel = [t](std::uint8_t from, std::uint8_t to) {
                return static_cast<std::uint8_t>(static_cast<int>(from + (to - from) * t));
            };
            lines.push_back({i * length + j, {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)}});
        }
    }
    return lines;
}

int DocumentIconIndex(std::string_view ext)
{
    // Each extension occurs once; anything else, no extension included, is 23.
    struct Entry {
        std::string_view extension;
        int index;
    };
    static constexpr Entry table[] = {
        {".rtf", 26},  {".doc", 26},  {".odf", 26},  {".rtc", 26},  {".docx", 26}, {".htm", 0},   {".html", 0},
        {".xml", 0},   {".mht", 0},   {".pdf", 14},  {".nri", 28},  {".pht", 3},   {".prn", 27},  {".eml", 25},
        {".zip", 19},  {".hlp", 31},  {".txt", 20},  {".dat", 20},  {".bat", 20},  {".bin", 20},  {".ini", 20},
        {".pas", 20},  {".cpp", 20},  {".h", 20},    {".dpr", 20},  {".log", 20},  {".sql", 20},  {".wri", 20},
        {".xls", 22},  {".csv", 22},  {".vts", 29},  {".wav", 6},   {".mp3", 6},   {".ogg", 6},   {".wma", 6},
        {".aac", 6},   {".mpeg", 30}, {".wmv", 30},  {".avi", 30},  {".mpg", 30},  {".mov", 30},  {".mvq", 30},
        {".mp4", 30},  {".asf", 30},  {".wvl", 2},   {".oga", 15},  {".jpg", 24},  {".gif", 24},  {".bmp", 24},
        {".wmf", 24},  {".tif", 24},  {".tiff", 24}, {".png", 24},  {".jpeg", 24}, {".emf", 24},
    };
    for (const Entry& entry : table)
        if (entry.extension == ext)
            return entry.index;
    return 23;
}

ListItemLook LookOfListItem(std::string_view item)
{
    // Only an exact lower-case ".lnk" is removed: REPORT.DOC.LNK keeps it.
    if (item.size() >= 4 && item.substr(item.size() - 4) == ".lnk")
        item.remove_suffix(4);
    return {DocumentIconIndex(LowerAscii(ExtractFileExt(item))), std::string(ExtractFileName(item))};
}

}  // namespace larkspan
