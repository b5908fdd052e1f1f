#include "NetworkWalk.h"

#include <algorithm>

namespace {

constexpr DWORD firstBufferSize = 16384;
// A provider that keeps asking for more room than this, or keeps handing out
// records past this much in all, is not believed.
constexpr DWORD largestBufferSize = 16u * 1024 * 1024;
// Networks nest a few levels (provider, domain, server); a provider that
// reports a container inside itself is not followed for ever.
constexpr int deepestContainer = 16;

// Closes an enumeration handle when the read of its container ends, however it ends.
class EnumHandle {
public:
    EnumHandle(NetResources& net, HANDLE handle) noexcept : net_(net), handle_(handle) {}
    EnumHandle(const EnumHandle&) = delete;
    EnumHandle& operator=(const EnumHandle&) = delete;
    ~EnumHandle() { net_.CloseEnum(handle_); }

private:
    NetResources& net_;
    HANDLE handle_;
};

}  // namespace

void NetworkWalk::Walk(DWORD resourceType, const Visit& visit)
{
    WalkContainer(nullptr, resourceType, visit, 0);
}

void NetworkWalk::WalkContainer(const NETRESOURCEA* container, DWORD resourceType, const Visit& visit, int depth)
{
    if (depth > deepestContainer)
        return;
    const Listing listing = ReadContainer(resourceType, container);
    for (const NETRESOURCEA* record : listing.records) {
        letMessagesRun_();
        visit(*record);
        if (record->dwUsage & RESOURCEUSAGE_CONTAINER)
            WalkContainer(record, resourceType, visit, depth + 1);
        letMessagesRun_();
    }
}

void NetworkWalk::Listing::Add(std::vector<std::uint64_t> buffer, DWORD count)
{
    const auto* first = reinterpret_cast<const NETRESOURCEA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        records.push_back(first + i);
    bytes += buffer.size() * sizeof(std::uint64_t);
    buffers.push_back(std::move(buffer));  // a moved vector keeps its storage, so the records stay put
}

NetworkWalk::Listing NetworkWalk::ReadContainer(DWORD resourceType, const NETRESOURCEA* container)
{
    Listing listing;
    HANDLE handle = nullptr;
    if (net_.OpenEnum(RESOURCE_GLOBALNET, resourceType, 0, container, &handle) != NO_ERROR)
        return listing;
    {
        EnumHandle closing(net_, handle);
        // Each call hands out as many records as fit the buffer and keeps
        // the rest for the next, until ERROR_NO_MORE_ITEMS. A call that fails
        // after some batches ends the listing but keeps them: the machines
        // already reported are there, and the walk goes on with the siblings
        // as it does after any container that fails.
        DWORD size = firstBufferSize;
        while (listing.bytes < largestBufferSize) {
            letMessagesRun_();
            std::vector<std::uint64_t> buffer((size + 7) / 8, 0);
            DWORD count = 0xFFFFFFFF;  // as many as fit
            DWORD reported = size;
            const DWORD result = net_.EnumResource(handle, &count, buffer.data(), &reported);
            letMessagesRun_();
            // A batch of none would be asked for again for ever.
            if (result == NO_ERROR && count > 0) {
                // No more records than the buffer can hold, whatever the provider says.
                listing.Add(std::move(buffer), std::min<DWORD>(count, size / sizeof(NETRESOURCEA)));
                continue;
            }
            // The next record alone needs more room, as the provider reports;
            // a size that does not grow would ask again for ever.
            if (result == ERROR_MORE_DATA && reported > size && reported <= largestBufferSize) {
                size = reported;
                continue;
            }
            break;
        }
    }
    letMessagesRun_();
    return listing;
}
