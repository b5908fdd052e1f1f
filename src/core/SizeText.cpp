#include "SizeText.h"

namespace larkspan {

std::string FormatSizeText(std::uint64_t size, char decimalSeparator)
{
    if (size < 1000)
        return std::to_string(size) + " Bytes";
    if (size < 1000000)
        return std::to_string(size / 1024) + " KBytes";

    // size / 1,024,000 in hundredths, rounded half up. The quotient size / 10,240
    // has a finite decimal expansion, so integer arithmetic rounds exactly where
    // a floating-point value could land just below a half.
    constexpr std::uint64_t divisor = 10240;
    const std::uint64_t hundredths = size / divisor + ((size % divisor) * 2 >= divisor ? 1 : 0);
    const std::uint64_t whole = hundredths / 100;
    const unsigned fraction = static_cast<unsigned>(hundredths % 100);

    std::string text = whole == 0 ? std::string() : std::to_string(whole);
    text += decimalSeparator;
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return text + " MBytes";
}

std::string ComposePropertiesText(const DocumentFacts& facts, char decimalSeparator)
{
    if (!facts.readable)
        return facts.path;

    static constexpr const char* lineBreak = "  \r\n\r\n  ";
    std::string text = "  Location: " + facts.path + lineBreak;
    if (!facts.sizeKnown)
        return text + "Directory or Unknown File Type  ";
    text += "Date Modified: " + facts.modified + lineBreak;
    text += "FileSize: " + FormatSizeText(facts.size, decimalSeparator) + "  ";
    return text;
}

}  // namespace larkspan
