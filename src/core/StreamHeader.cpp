#include "StreamHeader.h"

#include <algorithm>

namespace larkspan::transfer {

namespace {

// A decimal number right-aligned in `width` characters, padded with `fill`.
std::string Padded(std::int64_t value, std::size_t width, char fill)
{
    const std::string digits = std::to_string(value);
    return std::string(width > digits.size() ? width - digits.size() : 0, fill) + digits;
}

}  // namespace

std::optional<std::string> EncodeHeader(std::string_view name, std::int64_t contentSize)
{
    if (name.size() > maxNameLength || name.find('\0') != std::string_view::npos || contentSize < 0 ||
        contentSize > maxContentSize)
        return std::nullopt;
    return Padded(static_cast<std::int64_t>(name.size()), 4, '0') + std::string(name) + Padded(contentSize, 10, ' ');
}

std::size_t HeaderParser::Wanted() const noexcept
{
    switch (state_) {
    case State::NameLength: return 4 - field_.size();
    case State::Name: return nameLength_ - name_.size();
    case State::Size: return 10 - field_.size();
    case State::Complete:
    case State::Malformed: return 0;
    }
    return 0;
}

std::size_t HeaderParser::Feed(std::string_view input)
{
    std::size_t taken = 0;
    while (taken < input.size() && state_ != State::Complete && state_ != State::Malformed) {
        const std::size_t n = std::min(Wanted(), input.size() - taken);
        if (state_ == State::Name)
            name_.append(input.substr(taken, n));
        else
            field_.append(input.substr(taken, n));
        taken += n;
        Advance();
    }
    return taken;
}

void HeaderParser::Advance()
{
    if (Wanted() != 0)
        return;
    switch (state_) {
    case State::NameLength: {
        std::size_t length = 0;
        for (char c : field_) {
            if (c < '0' || c > '9') {
                state_ = State::Malformed;
                return;
            }
            length = length * 10 + static_cast<std::size_t>(c - '0');
        }
        field_.clear();
        nameLength_ = length;
        state_ = State::Name;
        Advance();  // a name of length 0 is complete at once
        return;
    }
    case State::Name:
        state_ = State::Size;
        return;
    case State::Size: {
        std::size_t i = 0;
        while (i < field_.size() && field_[i] == ' ')
            ++i;
        if (i == field_.size()) {
            state_ = State::Malformed;
            return;
        }
        std::int64_t size = 0;
        for (; i < field_.size(); ++i) {
            const char c = field_[i];
            if (c < '0' || c > '9') {
                state_ = State::Malformed;
                return;
            }
            size = size * 10 + (c - '0');
        }
        if (size > maxContentSize) {
            state_ = State::Malformed;
            return;
        }
        size_ = size;
        field_.clear();
        state_ = State::Complete;
        return;
    }
    case State::Complete:
    case State::Malformed: return;
    }
}

}  // namespace larkspan::transfer
