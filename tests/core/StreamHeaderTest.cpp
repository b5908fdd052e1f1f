#include "core/StreamHeader.h"

#include <gtest/gtest.h>

using namespace larkspan::transfer;

namespace {

HeaderParser ParseInPieces(std::string_view bytes, std::size_t piece, std::size_t* taken = nullptr)
{
    HeaderParser parser;
    std::size_t total = 0;
    for (std::size_t at = 0; at < bytes.size() && !parser.Complete(); at += piece)
        total += parser.Feed(bytes.substr(at, piece));
    if (taken)
        *taken = total;
    return parser;
}

}  // namespace

TEST(StreamHeader, TheThreeByteExample)
{
    const std::string wire = *EncodeHeader("a.txt", 3) + "abc";
    EXPECT_EQ(wire, "0005a.txt         3abc");
    EXPECT_EQ(wire.size(), 22u);
    EXPECT_EQ(acknowledgement.size(), 16u);
    EXPECT_EQ(acknowledgement.substr(0, 2), "OK");
}

TEST(StreamHeader, EdgesOfTheFields)
{
    EXPECT_EQ(*EncodeHeader("", 0), "0000         0");
    EXPECT_EQ(*EncodeHeader("0123456789", 1234567890), "00100123456789" "1234567890");
    EXPECT_EQ(EncodeHeader(std::string(10000, 'x'), 1), std::nullopt);
    EXPECT_EQ(EncodeHeader(std::string("a\0b", 3), 1), std::nullopt);
    EXPECT_EQ(EncodeHeader("a", -1), std::nullopt);
    EXPECT_EQ(EncodeHeader("a", 2147483648), std::nullopt);
    EXPECT_TRUE(EncodeHeader(std::string(9999, 'x'), 2147483647).has_value());
}

TEST(StreamHeader, ParsesInAnyPiecesAndLeavesTheContent)
{
    const std::string wire = *EncodeHeader("report.doc", 12345) + "CONTENT";
    for (std::size_t piece : {1u, 2u, 3u, 7u, 100u}) {
        std::size_t taken = 0;
        const HeaderParser parser = ParseInPieces(wire, piece, &taken);
        ASSERT_TRUE(parser.Complete()) << piece;
        EXPECT_EQ(parser.Name(), "report.doc");
        EXPECT_EQ(parser.ContentSize(), 12345);
        EXPECT_EQ(taken, wire.size() - 7) << piece;  // the content is not taken
    }
    const HeaderParser empty = ParseInPieces(*EncodeHeader("", 0), 5);
    EXPECT_TRUE(empty.Complete());
    EXPECT_EQ(empty.Name(), "");
    EXPECT_EQ(empty.ContentSize(), 0);
}

TEST(StreamHeader, MalformedFieldsAndNamesWithFolders)
{
    for (const char* wire : {" 005a.txt         3", "00x5a.txt         3", "-005a.txt         3",
                             "0005a.txt        -3", "0005a.txt        3x", "0005a.txt          ",
                             "0005a.txt9999999999"})
        EXPECT_EQ(ParseInPieces(wire, 4).GetState(), HeaderParser::State::Malformed) << wire;
    // The name is passed on as it stands; the portal makes it safe.
    const HeaderParser parser = ParseInPieces(*EncodeHeader("..\\C:\\x/y.txt", 1), 3);
    ASSERT_TRUE(parser.Complete());
    EXPECT_EQ(parser.Name(), "..\\C:\\x/y.txt");
    // A truncated header is simply not complete.
    EXPECT_EQ(ParseInPieces("0005a.t", 2).GetState(), HeaderParser::State::Name);
}

#include "core/SocketErrors.h"

TEST(SocketErrors, NumberColonAndText)
{
    EXPECT_EQ(SocketErrorMessage(10061), "10061:Connection refused");
    EXPECT_EQ(SocketErrorMessage(10004), "10004:Interrupted system call");
    EXPECT_EQ(SocketErrorMessage(11004), "11004:Valid name, no data record of requested type");
    EXPECT_EQ(SocketErrorMessage(10035), "10035:Operation would block");
    EXPECT_EQ(SocketErrorMessage(10072), "Unknown Error No. 10072");
    EXPECT_EQ(SocketErrorMessage(0), "Unknown Error No. 0");
    // Every number of the table from 10004 to 11004 that it holds has a text.
    int known = 0;
    for (int n = 10000; n <= 11010; ++n)
        known += SocketErrorText(n).empty() ? 0 : 1;
    EXPECT_EQ(known, 50);
}
