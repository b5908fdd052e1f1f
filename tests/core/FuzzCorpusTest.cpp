// Replays the fuzz targets' seed corpus, so the harness and its invariants
// run with every test run, not only when fuzzing.
#include "FuzzTarget.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int ReplaySeeds(const char* folder, int (*harness)(const std::uint8_t*, std::size_t))
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(LARKSPAN_FUZZ_CORPUS "/") + folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(harness(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0) << entry.path();
        ++seeds;
    }
    return seeds;
}

}  // namespace

TEST(FuzzCorpus, StreamHeaderSeedsPass)
{
    EXPECT_GE(ReplaySeeds("stream-header", FuzzStreamHeader), 4);
}

TEST(FuzzCorpus, ReceivedNameSeedsPass)
{
    EXPECT_GE(ReplaySeeds("received-name", FuzzReceivedName), 4);
}

TEST(FuzzCorpus, GifImageSeedsPass)
{
    EXPECT_GE(ReplaySeeds("gif-image", FuzzGifImage), 4);
}

TEST(FuzzCorpus, DnsMessageSeedsPass)
{
    EXPECT_GE(ReplaySeeds("dns-message", FuzzDnsMessage), 4);
}
