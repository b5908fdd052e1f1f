#include "MemoryBudget.h"

#include <utility>

MemoryBudget::Share::Share(Share&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0))
{
}

MemoryBudget::Share& MemoryBudget::Share::operator=(Share&& other) noexcept
{
    if (this != &other) {
        GiveBack();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

MemoryBudget::Share::~Share()
{
    GiveBack();
}

void MemoryBudget::Share::GiveBack() noexcept
{
    if (!budget_)
        return;
    std::lock_guard<std::mutex> lock(budget_->lock_);
    budget_->used_ -= bytes_;
    budget_ = nullptr;
    bytes_ = 0;
}

MemoryBudget::Share MemoryBudget::Take(std::int64_t bytes)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (bytes > limit_ - used_)
        return {};
    used_ += bytes;
    return Share(this, bytes);
}

void MemoryBudget::SetLimit(std::int64_t limit)
{
    std::lock_guard<std::mutex> lock(lock_);
    limit_ = limit;
}
