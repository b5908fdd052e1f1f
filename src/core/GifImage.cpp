#include "GifImage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace larkspan::gif {

namespace {

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool AtEnd() const noexcept { return position_ >= bytes_.size(); }
    std::uint8_t Byte()
    {
        if (AtEnd())
            throw GifError("The image ends early");
        return bytes_[position_++];
    }
    int Word()
    {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    std::span<const std::uint8_t> Take(std::size_t count)
    {
        if (bytes_.size() - position_ < count)
            throw GifError("The image ends early");
        const auto piece = bytes_.subspan(position_, count);
        position_ += count;
        return piece;
    }
    // The data sub-blocks up to their terminator, joined.
    std::vector<std::uint8_t> SubBlocks()
    {
        std::vector<std::uint8_t> data;
        while (const std::uint8_t size = Byte()) {
            const auto piece = Take(size);
            data.insert(data.end(), piece.begin(), piece.end());
        }
        return data;
    }
    void SkipSubBlocks()
    {
        while (const std::uint8_t size = Byte())
            Take(size);
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

std::vector<Rgb> ReadPalette(Reader& in, int sizeField)
{
    std::vector<Rgb> palette(std::size_t{1} << (sizeField + 1));
    for (Rgb& colour : palette) {
        colour.r = in.Byte();
        colour.g = in.Byte();
        colour.b = in.Byte();
    }
    return palette;
}

// The variable-length LZW codes of one frame into `out` (its pixel count);
// what the data does not cover stays 0.
void DecodeLzw(int minimumCodeSize, const std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& out)
{
    if (minimumCodeSize < 2 || minimumCodeSize > 8)
        throw GifError("Bad LZW code size");
    constexpr int maxCodes = 4096;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    // Each code: its last byte, the code it extends, and its length.
    std::array<std::uint16_t, maxCodes> prefix{};
    std::array<std::uint8_t, maxCodes> suffix{};
    std::array<std::uint16_t, maxCodes> length{};
    for (int i = 0; i < clear; ++i) {
        suffix[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        length[static_cast<std::size_t>(i)] = 1;
    }
    int codeSize = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::size_t written = 0;
    std::uint32_t bits = 0;
    int bitCount = 0;
    std::size_t position = 0;
    const std::size_t total = out.size();

    // Writes the string of `code` at `at`, as far as the frame reaches.
    auto emit = [&](int code, std::size_t at) {
        const std::size_t size = length[static_cast<std::size_t>(code)];
        for (std::size_t i = size; i-- > 0;) {
            if (at + i < total)
                out[at + i] = suffix[static_cast<std::size_t>(code)];
            code = prefix[static_cast<std::size_t>(code)];
        }
        return size;
    };
    auto firstByte = [&](int code) {
        while (length[static_cast<std::size_t>(code)] > 1)
            code = prefix[static_cast<std::size_t>(code)];
        return suffix[static_cast<std::size_t>(code)];
    };

    while (written < total) {
        while (bitCount < codeSize) {
            if (position >= data.size())
                return;  // the data ends early: the rest stays 0
            bits |= static_cast<std::uint32_t>(data[position++]) << bitCount;
            bitCount += 8;
        }
        const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;

        if (code == clear) {
            codeSize = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return;
        if (previous < 0) {
            if (code >= clear)
                throw GifError("Bad LZW code");
            written += emit(code, written);
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= maxCodes))
            throw GifError("Bad LZW code");
        if (next < maxCodes) {
            // The new string: the previous one and the first byte of this one
            // (of the previous one when this code is the one being made).
            prefix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
            suffix[static_cast<std::size_t>(next)] = firstByte(code == next ? previous : code);
            length[static_cast<std::size_t>(next)] =
                static_cast<std::uint16_t>(length[static_cast<std::size_t>(previous)] + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        written += emit(code, written);
        previous = code;
    }
}

// Interlaced rows come in four passes: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<std::uint8_t> Deinterlace(const std::vector<std::uint8_t>& passes, int width, int height)
{
    std::vector<std::uint8_t> rows(passes.size());
    if (rows.empty())
        return rows;  // a frame of width or height 0: nothing to move (and no buffer to name)
    const std::size_t w = static_cast<std::size_t>(width);
    std::size_t source = 0;
    for (const auto& [start, step] : std::array<std::pair<int, int>, 4>{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}})
        for (int y = start; y < height; y += step, source += w)
            std::memcpy(rows.data() + static_cast<std::size_t>(y) * w, passes.data() + source, w);
    return rows;
}

}  // namespace

Image Decode(std::span<const std::uint8_t> bytes, const Limits& limits)
{
    Reader in(bytes);
    const auto signature = in.Take(6);
    if (std::memcmp(signature.data(), "GIF87a", 6) != 0 && std::memcmp(signature.data(), "GIF89a", 6) != 0)
        throw GifError("Not a GIF image");
    Image image;
    image.width = in.Word();
    image.height = in.Word();
    const std::uint8_t screen = in.Byte();
    image.backgroundIndex = in.Byte();
    in.Byte();  // pixel aspect ratio
    if (screen & 0x80)
        image.globalPalette = ReadPalette(in, screen & 7);

    // The frames are composed on a picture of the screen's size: it counts
    // against the limit as they do.
    std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    if (pixels > limits.maxPixels)
        throw GifError("The image is too large");
    // The graphic control extension applies to the next image.
    Frame pending;
    while (!in.AtEnd()) {
        const std::uint8_t block = in.Byte();
        if (block == 0x3B)  // the trailer
            break;
        if (block == 0x21) {
            const std::uint8_t label = in.Byte();
            if (label == 0xF9) {
                const std::vector<std::uint8_t> control = in.SubBlocks();
                if (control.size() < 4)
                    throw GifError("Bad graphic control extension");
                // Methods 4 to 7 are not defined: such a frame is left as it is.
                const int disposal = (control[0] >> 2) & 7;
                pending.disposal = disposal <= 3 ? static_cast<Disposal>(disposal) : Disposal::None;
                pending.delayHundredths = control[1] | (control[2] << 8);
                pending.transparentIndex =
                    (control[0] & 1) ? std::optional<int>(control[3]) : std::optional<int>();
            } else if (label == 0xFF) {
                const std::vector<std::uint8_t> application = in.SubBlocks();
                const bool looping = application.size() >= 14 &&
                                     (std::memcmp(application.data(), "NETSCAPE2.0", 11) == 0 ||
                                      std::memcmp(application.data(), "ANIMEXTS1.0", 11) == 0);
                if (looping && application[11] == 1)
                    image.loopCount = application[12] | (application[13] << 8);
            } else {
                in.SkipSubBlocks();
            }
            continue;
        }
        if (block != 0x2C)
            throw GifError("Unknown block in the image");
        if (image.frames.size() >= limits.maxFrames)
            throw GifError("Too many frames");
        Frame frame = std::move(pending);
        pending = Frame();
        frame.left = in.Word();
        frame.top = in.Word();
        frame.width = in.Word();
        frame.height = in.Word();
        const std::uint8_t packed = in.Byte();
        frame.interlaced = (packed & 0x40) != 0;
        frame.localPalette = (packed & 0x80) != 0;
        frame.palette = frame.localPalette ? ReadPalette(in, packed & 7) : image.globalPalette;
        const std::size_t area = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
        if (area > limits.maxPixels - pixels)
            throw GifError("The image is too large");
        pixels += area;
        const int codeSize = in.Byte();
        const std::vector<std::uint8_t> data = in.SubBlocks();
        frame.indices.assign(area, 0);
        DecodeLzw(codeSize, data, frame.indices);
        if (frame.interlaced)
            frame.indices = Deinterlace(frame.indices, frame.width, frame.height);
        image.frames.push_back(std::move(frame));
    }
    if (image.frames.empty())
        throw GifError("The image has no frame");
    return image;
}

}  // namespace larkspan::gif
