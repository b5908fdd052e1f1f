// The header of one stream transfer: a four-digit name length ("%.4d"), the
// name's bytes, and the content size right-aligned in ten characters
// ("%10d"). The receiver answers with "OK" and 14 spaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace larkspan::transfer {

inline constexpr std::string_view acknowledgement = "OK              ";
inline constexpr std::size_t maxNameLength = 9999;
inline constexpr std::int64_t maxContentSize = 2147483647;

// The header bytes for a name and a content size; nothing when the name is
// longer than 9,999 bytes or holds a NUL, or the size is outside 0 to
// 2,147,483,647 (the format cannot carry them).
std::optional<std::string> EncodeHeader(std::string_view name, std::int64_t contentSize);

// Reads a header as its bytes arrive, in pieces of any size. It never takes
// more than the header: what follows in a piece is content. A name length
// that is not four decimal digits, or a size field that is not spaces
// followed by decimal digits, is malformed.
class HeaderParser {
public:
    enum class State { NameLength, Name, Size, Complete, Malformed };

    // Takes bytes from the front of `input`; returns how many were taken.
    std::size_t Feed(std::string_view input);

    State GetState() const noexcept { return state_; }
    bool Complete() const noexcept { return state_ == State::Complete; }
    const std::string& Name() const noexcept { return name_; }
    std::int64_t ContentSize() const noexcept { return size_; }
    // Bytes the parser still needs before it can say more.
    std::size_t Wanted() const noexcept;

private:
    void Advance();

    State state_ = State::NameLength;
    std::string field_;
    std::string name_;
    std::size_t nameLength_ = 0;
    std::int64_t size_ = 0;
};

}  // namespace larkspan::transfer
