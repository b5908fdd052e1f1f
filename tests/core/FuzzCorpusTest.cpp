// Replays the fuzz targets' seed corpus, so the harness and its invariants
// run with every test run, not only when fuzzing.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzCorpus, StreamHeaderSeedsPass)
{
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(LARKSPAN_FUZZ_CORPUS "/stream-header")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
        ++seeds;
    }
    EXPECT_GE(seeds, 4);
}
