// Decoding time of a large multi-frame GIF: the core's decoder against
// giflib (DGifSlurp from memory) on the same bytes in the same run, natively.
//   GifBenchmark FILE.gif
#include "core/GifImage.h"

#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Memory {
    const std::vector<std::uint8_t>* bytes;
    std::size_t position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* memory = static_cast<Memory*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), memory->bytes->size() - memory->position);
    std::memcpy(buffer, memory->bytes->data() + memory->position, n);
    memory->position += n;
    return static_cast<int>(n);
}

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: GifBenchmark FILE.gif\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    double ours = 1e9, theirs = 1e9;
    std::size_t frames = 0, theirFrames = 0;
    for (int round = 0; round < 5; ++round) {
        auto start = Clock::now();
        const larkspan::gif::Image image = larkspan::gif::Decode(bytes);
        ours = std::min(ours, Seconds(start));
        frames = image.frames.size();

        start = Clock::now();
        Memory memory{&bytes};
        int error = 0;
        GifFileType* gif = DGifOpen(&memory, ReadMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            std::fprintf(stderr, "giflib could not read the image\n");
            return 1;
        }
        theirFrames = static_cast<std::size_t>(gif->ImageCount);
        DGifCloseFile(gif, &error);
        theirs = std::min(theirs, Seconds(start));
    }
    std::printf("GIF of %zu bytes, %zu frames (giflib: %zu), best of 5: decoder %.1f ms, giflib %.1f ms, "
                "ratio %.2f (target: at most 1.00)\n",
                bytes.size(), frames, theirFrames, ours * 1000, theirs * 1000, ours / theirs);
    return 0;
}
