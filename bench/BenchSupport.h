// What the transfer benchmarks share: content made up as it is read (any
// size sent without holding or storing it) and the process's peak memory.
#pragma once

#include "transfer/Streams.h"

#include <windows.h>
#include <psapi.h>
#include <winsock.h>

#include <algorithm>
#include <cstring>
#include <vector>

class PatternStream final : public TStream {
public:
    explicit PatternStream(std::int64_t size) : size_(size) {}
    std::size_t Read(void* buffer, std::size_t count) override
    {
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(count, size_ - position_));
        std::memset(buffer, static_cast<int>(position_ & 0xFF), n);
        position_ += static_cast<std::int64_t>(n);
        return n;
    }
    void Write(const void*, std::size_t) override {}
    std::int64_t Size() const override { return size_; }
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override { position_ = position; }

private:
    std::int64_t size_;
    std::int64_t position_ = 0;
};

// Sends the whole of `content` on a blocking socket in pieces of 64 KiB;
// false when the connection breaks.
inline bool SendAll(SOCKET s, TStream& content)
{
    std::vector<char> buffer(65536);
    for (std::size_t piece; (piece = content.Read(buffer.data(), buffer.size())) > 0;)
        for (std::size_t sent = 0; sent < piece;) {
            const int n = ::send(s, buffer.data() + sent, static_cast<int>(piece - sent), 0);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
    return true;
}

inline SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}
