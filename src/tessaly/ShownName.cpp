#include "ShownName.h"

#include "core/RefusalTexts.h"

namespace tessaly {

std::string ShownName(const std::string& name, UINT codePage)
{
    if (name.empty())
        return name;
    const int units = ::MultiByteToWideChar(codePage, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(units > 0 ? units : 0), u'\0');
    ::MultiByteToWideChar(codePage, 0, name.data(), static_cast<int>(name.size()),
                          reinterpret_cast<wchar_t*>(wide.data()), units);
    const std::u16string shown = larkspan::portal::ElideMiddle(wide, larkspan::portal::maxShownNameLength);
    // A name that fits keeps its bytes, also those no character stands for.
    if (shown.size() == wide.size())
        return name;
    const auto* text = reinterpret_cast<const wchar_t*>(shown.data());
    const int size = static_cast<int>(shown.size());
    const int bytes = ::WideCharToMultiByte(codePage, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    ::WideCharToMultiByte(codePage, 0, text, size, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

}  // namespace tessaly
