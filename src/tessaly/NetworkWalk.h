// The depth-first walk over the network's containers that discovery shows:
// each container is read to its end in batches, then its records are
// visited in the provider's order, a container's own records right after it.
#pragma once

#include "NetResources.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class NetworkWalk {
public:
    using Visit = std::function<void(const NETRESOURCEA& record)>;

    // `letMessagesRun` is called between the steps, so that the window
    // showing the walk stays live while providers answer.
    NetworkWalk(NetResources& net, std::function<void()> letMessagesRun)
        : net_(net), letMessagesRun_(std::move(letMessagesRun))
    {
    }

    // Visits every record of the whole network of `resourceType`.
    void Walk(DWORD resourceType, const Visit& visit);

private:
    // One container's listing, read in batches: each batch's NETRESOURCE
    // records lie at the start of a buffer of their own, whose strings they
    // point into; `records` holds them all in the order the provider gave them.
    struct Listing {
        std::vector<std::vector<std::uint64_t>> buffers;  // 8-byte units keep the records aligned
        std::vector<const NETRESOURCEA*> records;
        std::size_t bytes = 0;  // the buffers' size together

        void Add(std::vector<std::uint64_t> buffer, DWORD count);
    };

    void WalkContainer(const NETRESOURCEA* container, DWORD resourceType, const Visit& visit, int depth);
    // The container's records; none when it cannot be opened or read.
    Listing ReadContainer(DWORD resourceType, const NETRESOURCEA* container);

    NetResources& net_;
    std::function<void()> letMessagesRun_;
};
