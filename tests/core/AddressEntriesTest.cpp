#include "core/AddressEntries.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace addresses = larkspan::addresses;

TEST(AddressEntries, ComposedEntriesReadBackByBothRules)
{
    EXPECT_EQ(addresses::ComposeEntry("Lab", "10.0.0.5"), "Lab <10.0.0.5>");
    EXPECT_EQ(addresses::ComposeEntry("", ""), " <>");
    for (const auto& [name, host] : {std::pair{"Office", "192.168.0.7"}, {"", "SERVER"}, {"", ""}, {"a b", "h-1"}}) {
        const std::string entry = addresses::ComposeEntry(name, host);
        EXPECT_EQ(addresses::SendToHost(entry), host) << entry;
        EXPECT_EQ(addresses::ListedHost(entry), std::optional<std::string_view>(host)) << entry;
    }
}

// The two readings differ on odd lines, and each is kept as it is: Send To
// drops the entry's last character whatever it is, discovery stops at the
// first ">".
TEST(AddressEntries, OddEntries)
{
    struct Case {
        std::string_view entry, sendTo;
        std::optional<std::string_view> listed;
    };
    const Case cases[] = {
        {"a <b> c", "b> ", "b"},
        {"<>", "", ""},
        {"x <y", "", std::nullopt},
        {"x <", "", std::nullopt},
        {"<", "", std::nullopt},
        {"a <<b>>", "<b>", "<b"},
        {"a <b <c>>", "b <c>", "b <c"},
        {"a> <b", "", std::nullopt},
        {"plain line", "plain line", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(addresses::SendToHost(c.entry), c.sendTo) << c.entry;
        EXPECT_EQ(addresses::ListedHost(c.entry), c.listed) << c.entry;
    }
}
