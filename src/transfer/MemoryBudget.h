// The bytes that the sessions of one receiver may keep in memory together;
// content beyond them goes to temporary files. Sessions run on threads of
// their own, so shares are taken and given back under a lock.
#pragma once

#include <cstdint>
#include <mutex>

class MemoryBudget {
public:
    explicit MemoryBudget(std::int64_t limit) : limit_(limit) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    // Bytes taken from the budget, given back when the share goes. An empty
    // share holds nothing.
    class Share {
    public:
        Share() = default;
        Share(Share&& other) noexcept;
        Share& operator=(Share&& other) noexcept;
        ~Share();
        explicit operator bool() const noexcept { return budget_ != nullptr; }

    private:
        friend class MemoryBudget;
        Share(MemoryBudget* budget, std::int64_t bytes) : budget_(budget), bytes_(bytes) {}
        void GiveBack() noexcept;

        MemoryBudget* budget_ = nullptr;
        std::int64_t bytes_ = 0;
    };

    // A share of `bytes`, or an empty one when the total would pass the limit.
    Share Take(std::int64_t bytes);
    // Applies to shares taken from now on.
    void SetLimit(std::int64_t limit);

private:
    std::mutex lock_;
    std::int64_t limit_;
    std::int64_t used_ = 0;
};
