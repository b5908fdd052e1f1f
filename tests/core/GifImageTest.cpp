// The GIF decoder against images written by an independent encoder
// (ImageMagick, tests/core/gif/make.sh) and read back by it, and against
// malformed files.
#include "core/GifComposer.h"
#include "core/GifImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

using namespace larkspan::gif;
using larkspan::Rgb;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& name)
{
    std::ifstream file(std::string(LARKSPAN_GIF_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct FrameFacts {
    int screenWidth, screenHeight, width, height, left, top, delay;
    std::string disposal;
};

std::vector<FrameFacts> ReadFacts(const std::string& base)
{
    std::ifstream file(std::string(LARKSPAN_GIF_DIR) + "/" + base + ".txt");
    std::vector<FrameFacts> facts;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream in(line);
        FrameFacts f{};
        in >> f.screenWidth >> f.screenHeight >> f.width >> f.height >> f.left >> f.top >> f.delay >> f.disposal;
        facts.push_back(f);
    }
    return facts;
}

// The frame as ImageMagick shows it: RGBA, alpha 0 where transparent.
std::vector<std::uint8_t> Rgba(const Frame& frame)
{
    std::vector<std::uint8_t> out;
    for (const std::uint8_t index : frame.indices) {
        const bool clear = frame.transparentIndex && *frame.transparentIndex == index;
        const Rgb colour = index < frame.palette.size() ? frame.palette[index] : Rgb{};
        out.insert(out.end(), {colour.r, colour.g, colour.b, static_cast<std::uint8_t>(clear ? 0 : 255)});
    }
    return out;
}

void ExpectSameAsTheEncoder(const std::string& base)
{
    const Image image = Decode(ReadBytes(base + ".gif"));
    const std::vector<FrameFacts> facts = ReadFacts(base);
    ASSERT_EQ(image.frames.size(), facts.size()) << base;
    for (std::size_t i = 0; i < facts.size(); ++i) {
        const Frame& frame = image.frames[i];
        const FrameFacts& f = facts[i];
        SCOPED_TRACE(base + " frame " + std::to_string(i));
        EXPECT_EQ(image.width, f.screenWidth);
        EXPECT_EQ(image.height, f.screenHeight);
        EXPECT_EQ(frame.width, f.width);
        EXPECT_EQ(frame.height, f.height);
        EXPECT_EQ(frame.left, f.left);
        EXPECT_EQ(frame.top, f.top);
        EXPECT_EQ(frame.delayHundredths, f.delay);
        const char* names[] = {"None", "None", "Background", "Previous"};
        if (f.disposal != "Undefined") {
            EXPECT_EQ(names[static_cast<int>(frame.disposal)], f.disposal);
        }
        std::vector<std::uint8_t> rgba = Rgba(frame);
        std::vector<std::uint8_t> expected = ReadBytes(base + "." + std::to_string(i) + ".rgba");
        // Transparent pixels compare by their alpha alone.
        for (std::size_t p = 0; p + 3 < rgba.size() && p + 3 < expected.size(); p += 4)
            if (rgba[p + 3] == 0 && expected[p + 3] == 0) {
                std::fill_n(rgba.begin() + static_cast<std::ptrdiff_t>(p), 3, 0);
                std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(p), 3, 0);
            }
        EXPECT_TRUE(rgba == expected);
    }
}

// A GIF of one frame whose LZW data is written plainly: every index as its
// own 9-bit code, a clear code before the table would grow.
std::vector<std::uint8_t> PlainGif(int width, int height, const std::vector<std::uint8_t>& indices,
                                   bool interlaced = false)
{
    std::vector<std::uint8_t> gif{'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&](int v) {
        gif.push_back(static_cast<std::uint8_t>(v & 0xFF));
        gif.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    word(width);
    word(height);
    gif.insert(gif.end(), {0xF7, 0, 0});  // a global table of 256 colours
    for (int i = 0; i < 256; ++i)
        gif.insert(gif.end(), {static_cast<std::uint8_t>(i), 0, 0});
    gif.push_back(0x2C);
    word(0);
    word(0);
    word(width);
    word(height);
    gif.push_back(interlaced ? 0x40 : 0);
    gif.push_back(8);
    std::vector<std::uint8_t> data;
    std::uint32_t bits = 0;
    int count = 0;
    auto code = [&](int c) {
        bits |= static_cast<std::uint32_t>(c) << count;
        count += 9;
        while (count >= 8) {
            data.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 254 == 0)
            code(256);
        code(indices[i]);
    }
    code(257);
    if (count > 0)
        data.push_back(static_cast<std::uint8_t>(bits));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t size = std::min<std::size_t>(255, data.size() - at);
        gif.push_back(static_cast<std::uint8_t>(size));
        gif.insert(gif.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    gif.push_back(0);
    gif.push_back(0x3B);
    return gif;
}

}  // namespace

TEST(GifImage, FramesMatchWhatAnIndependentEncoderWrote)
{
    ExpectSameAsTheEncoder("disposal");
    ExpectSameAsTheEncoder("interlaced-local");
    ExpectSameAsTheEncoder("gradient");

    const Image looping = Decode(ReadBytes("disposal.gif"));
    EXPECT_EQ(looping.loopCount, 0);
    EXPECT_TRUE(looping.frames[2].transparentIndex.has_value());
    const Image local = Decode(ReadBytes("interlaced-local.gif"));
    EXPECT_TRUE(local.frames[0].interlaced);
    EXPECT_TRUE(local.frames[1].localPalette);
}

TEST(GifImage, InterlacedRowsComeBackInOrder)
{
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 11; ++y)
        rows.insert(rows.end(), 3, static_cast<std::uint8_t>(y));
    // Written in pass order: rows 0 8, 4, 2 6 10, 1 3 5 7 9.
    std::vector<std::uint8_t> passes;
    for (int y : {0, 8, 4, 2, 6, 10, 1, 3, 5, 7, 9})
        passes.insert(passes.end(), 3, static_cast<std::uint8_t>(y));
    EXPECT_EQ(Decode(PlainGif(3, 11, passes, true)).frames[0].indices, rows);
    EXPECT_EQ(Decode(PlainGif(3, 11, rows)).frames[0].indices, rows);
}

TEST(GifImage, MalformedFilesAreErrors)
{
    const std::vector<std::uint8_t> good = PlainGif(4, 4, std::vector<std::uint8_t>(16, 7));
    EXPECT_EQ(Decode(good).frames[0].indices, std::vector<std::uint8_t>(16, 7));
    EXPECT_THROW(Decode(std::vector<std::uint8_t>{'G', 'I', 'F', '8', '7'}), GifError);
    EXPECT_THROW(Decode(std::vector<std::uint8_t>{'P', 'N', 'G', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}), GifError);
    // Cut anywhere before its pixel data ends: an error, not a crash.
    for (std::size_t cut = 0; cut < good.size() - 20; ++cut)
        EXPECT_THROW(Decode(std::span(good).first(cut)), GifError) << cut;
    // A frame far larger than the limits allow is refused before it is held.
    std::vector<std::uint8_t> huge = good;
    huge[6 + 7 + 768 + 5] = 0xFF;  // the frame's width: 65535
    huge[6 + 7 + 768 + 6] = 0xFF;
    huge[6 + 7 + 768 + 7] = 0xFF;  // and height
    huge[6 + 7 + 768 + 8] = 0xFF;
    EXPECT_THROW(Decode(huge), GifError);
    // So is a logical screen too large to compose the frames on.
    std::vector<std::uint8_t> wide = good;
    std::fill_n(wide.begin() + 6, 4, 0xFF);  // screen width and height: 65535
    EXPECT_THROW(Decode(wide), GifError);
    // A code the table does not hold yet.
    std::vector<std::uint8_t> bad = good;
    bad[6 + 7 + 768 + 12] = 0xFF;
    bad[6 + 7 + 768 + 13] = 0xFF;
    EXPECT_THROW(Decode(bad), GifError);
}

TEST(GifComposer, FramesShowAsTheIndependentEncoderComposesThem)
{
    const Image image = Decode(ReadBytes("disposal.gif"));
    // Pictures as RGBA, the transparent colour with alpha 0.
    auto rgba = [](const Picture& picture) {
        std::vector<std::uint8_t> out;
        for (const Rgb& p : picture.pixels) {
            const bool clear = picture.transparent && *picture.transparent == p;
            out.insert(out.end(), {static_cast<std::uint8_t>(clear ? 0 : p.r), static_cast<std::uint8_t>(clear ? 0 : p.g),
                                   static_cast<std::uint8_t>(clear ? 0 : p.b), static_cast<std::uint8_t>(clear ? 0 : 255)});
        }
        return out;
    };
    auto expected = [](int i) {
        std::vector<std::uint8_t> bytes = ReadBytes("disposal.shown." + std::to_string(i) + ".rgba");
        for (std::size_t p = 0; p + 3 < bytes.size(); p += 4)
            if (bytes[p + 3] == 0)
                std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(p), 3, 0);
        return bytes;
    };
    Composer composer(image, Rgb{255, 255, 255});
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(rgba(composer.Compose(i)) == expected(i)) << "frame " << i;
        // In order, the previous picture is reused unless it is to be undone.
        EXPECT_EQ(composer.ReusedLast(), i > 0 && i != 3) << "frame " << i;
    }
    // A jump recomposes from the last full-screen frame, to the same picture.
    Composer jumping(image, Rgb{255, 255, 255});
    EXPECT_TRUE(rgba(jumping.Compose(3)) == expected(3));
    EXPECT_FALSE(jumping.ReusedLast());
    EXPECT_TRUE(rgba(jumping.Compose(1)) == expected(1));
    EXPECT_THROW(jumping.Compose(4), GifError);
}
