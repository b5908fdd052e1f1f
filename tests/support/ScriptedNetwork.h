// A network of domains, workgroups and servers for the discovery window, as
// WNetOpenEnum / WNetEnumResource / WNetCloseEnum would report it: each read
// hands out as many records as fit the buffer (no more than asked for) with
// NO_ERROR, then ERROR_NO_MORE_ITEMS; ERROR_MORE_DATA only when not even the
// next record fits. With containers that fail and a record of what the
// window asked.
#pragma once

#include "tessaly/NetResources.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct NetNode {
    std::string comment;  // empty: no comment text at all
    std::string remoteName;
    std::string provider = "Microsoft Windows Network";
    DWORD displayType = RESOURCEDISPLAYTYPE_SERVER;
    DWORD usage = RESOURCEUSAGE_CONNECTABLE;
    DWORD openError = NO_ERROR;  // what opening it as a container gives
    DWORD enumError = NO_ERROR;  // what reading it gives
    std::size_t failsAfter = 0;  // records it hands out before reading gives enumError
    std::vector<NetNode> children;

    static NetNode Server(std::string remoteName, std::string comment = {})
    {
        NetNode node;
        node.remoteName = std::move(remoteName);
        node.comment = std::move(comment);
        return node;
    }
    static NetNode Container(std::string remoteName, DWORD displayType, std::vector<NetNode> children)
    {
        NetNode node;
        node.remoteName = std::move(remoteName);
        node.displayType = displayType;
        node.usage = RESOURCEUSAGE_CONTAINER;
        node.children = std::move(children);
        return node;
    }
};

class ScriptedNetwork final : public NetResources {
public:
    explicit ScriptedNetwork(NetNode root) : root_(std::move(root)) {}

    DWORD OpenEnum(DWORD scope, DWORD type, DWORD usage, const NETRESOURCEA* container, HANDLE* handle) override
    {
        calls.push_back("open " + std::string(container ? container->lpRemoteName : "(root)"));
        scopes.push_back(scope);
        types.push_back(type);
        usages.push_back(usage);
        const NetNode* node = container ? Find(root_, container->lpRemoteName) : &root_;
        if (!node)
            return ERROR_BAD_NET_NAME;
        if (node->openError != NO_ERROR)
            return node->openError;
        const auto id = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(++lastHandle_));
        open_[id] = {node, 0};
        *handle = id;
        return NO_ERROR;
    }

    DWORD EnumResource(HANDLE handle, DWORD* count, void* buffer, DWORD* bufferSize) override
    {
        if (whileEnumerating)
            whileEnumerating();
        counts.push_back(*count);
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        cleanAlignedBuffers = cleanAlignedBuffers &&
                              reinterpret_cast<std::uintptr_t>(buffer) % alignof(NETRESOURCEA) == 0 &&
                              std::all_of(bytes, bytes + *bufferSize, [](unsigned char b) { return b == 0; });
        const auto at = open_.find(handle);
        if (at == open_.end())
            return ERROR_INVALID_HANDLE;
        const NetNode& node = *at->second.node;
        std::size_t& next = at->second.next;
        const std::string read = (node.remoteName.empty() ? "(root)" : node.remoteName) + " " +
                                 std::to_string(*bufferSize) + " -> ";
        if (node.enumError != NO_ERROR && next >= node.failsAfter) {
            reads.push_back(read + "error " + std::to_string(node.enumError));
            return node.enumError;
        }
        if (next == node.children.size()) {
            reads.push_back(read + "no more items");
            return ERROR_NO_MORE_ITEMS;
        }
        // Whole records with their strings, the records first.
        const std::size_t end =
            node.enumError != NO_ERROR ? std::min(node.failsAfter, node.children.size()) : node.children.size();
        std::size_t batch = 0;
        DWORD used = 0;
        while (next + batch < end && batch < *count && used + Needs(node.children[next + batch]) <= *bufferSize)
            used += Needs(node.children[next + batch++]);
        if (batch == 0) {
            *bufferSize = Needs(node.children[next]);
            reads.push_back(read + "more data " + std::to_string(*bufferSize));
            return ERROR_MORE_DATA;
        }
        auto* records = static_cast<NETRESOURCEA*>(buffer);
        char* strings = static_cast<char*>(buffer) + batch * sizeof(NETRESOURCEA);
        auto put = [&strings](const std::string& text) {
            char* start = strings;
            std::memcpy(strings, text.c_str(), text.size() + 1);
            strings += text.size() + 1;
            return start;
        };
        for (std::size_t i = 0; i < batch; ++i) {
            const NetNode& child = node.children[next + i];
            NETRESOURCEA& record = records[i];
            record = NETRESOURCEA{};
            record.dwScope = RESOURCE_GLOBALNET;
            record.dwDisplayType = child.displayType;
            record.dwUsage = child.usage;
            record.lpRemoteName = put(child.remoteName);
            record.lpProvider = put(child.provider);
            char* comment = put(child.comment);
            record.lpComment = child.comment.empty() ? nullptr : comment;
        }
        next += batch;
        *count = static_cast<DWORD>(batch);
        reads.push_back(read + std::to_string(batch));
        return NO_ERROR;
    }

    DWORD CloseEnum(HANDLE handle) override
    {
        closed += open_.erase(handle) ? 1 : 0;
        return NO_ERROR;
    }

    int StillOpen() const { return static_cast<int>(open_.size()); }

    std::vector<std::string> calls;
    std::vector<DWORD> scopes, types, usages, counts;
    // Each read as "<container> <buffer size> -> <answer>": the number of
    // records handed out, "no more items", "more data <size needed>" or
    // "error <code>".
    std::vector<std::string> reads;
    // Every buffer came zero-filled and aligned for the records.
    bool cleanAlignedBuffers = true;
    int closed = 0;
    // Runs at every read, as a slow provider's time would pass.
    std::function<void()> whileEnumerating;

private:
    struct Enumeration {
        const NetNode* node;
        std::size_t next;  // the first child not handed out yet
    };

    // The room a record takes with its strings.
    static DWORD Needs(const NetNode& child)
    {
        return static_cast<DWORD>(sizeof(NETRESOURCEA) + child.comment.size() + child.remoteName.size() +
                                  child.provider.size() + 3);
    }

    static const NetNode* Find(const NetNode& node, const std::string& remoteName)
    {
        for (const NetNode& child : node.children) {
            if (child.remoteName == remoteName)
                return &child;
            if (const NetNode* below = Find(child, remoteName))
                return below;
        }
        return nullptr;
    }

    NetNode root_;
    std::map<HANDLE, Enumeration> open_;
    int lastHandle_ = 0;
};

}  // namespace testing_support
