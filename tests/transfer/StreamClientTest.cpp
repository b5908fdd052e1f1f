// The sending component against raw blocking-socket peers on loopback.
#include "transfer/NMSTRM.h"
#include "winui/Application.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

// A plain listening socket on an ephemeral loopback port, served by one
// thread that runs `serve` on the first connection it accepts.
class RawPeer {
public:
    explicit RawPeer(std::function<void(SOCKET)> serve)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 1);
        int length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ::ntohs(address.sin_port);
        thread_ = std::thread([this, serve = std::move(serve)] {
            const SOCKET connection = ::accept(listener_, nullptr, nullptr);
            if (connection != INVALID_SOCKET) {
                serve(connection);
                ::closesocket(connection);
            }
        });
    }
    ~RawPeer()
    {
        ::closesocket(listener_);
        thread_.join();
    }
    int Port() const { return port_; }

private:
    SOCKET listener_;
    int port_ = 0;
    std::thread thread_;
};

std::string ReceiveExactly(SOCKET s, std::size_t count)
{
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < count) {
        const int n = ::recv(s, buffer, static_cast<int>(std::min<std::size_t>(sizeof buffer, count - bytes.size())), 0);
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

// Waits for the sender's close after the answer.
void DrainUntilClosed(SOCKET s)
{
    char buffer[256];
    while (::recv(s, buffer, sizeof buffer, 0) > 0) {
    }
}

const std::string ok = "OK              ";

class StreamClientTest : public ::testing::Test {
protected:
    StreamClientTest()
    {
        WSADATA data{};
        ::WSAStartup(0x0101, &data);
        sender.Host = "127.0.0.1";
        sender.OnConnect = [this] { ++connects; };
        sender.OnDisconnect = [this] { ++disconnects; };
        sender.OnPacketSent = [this] { ++packets; };
        sender.OnMessageSent = [this] { ++messagesSent; };
        sender.OnConnectionFailed = [this] { ++failures; };
    }
    ~StreamClientTest() override { ::WSACleanup(); }

    winui::Application app;
    TNMStrm sender;
    int connects = 0, disconnects = 0, packets = 0, messagesSent = 0, failures = 0;
};

}  // namespace

TEST_F(StreamClientTest, TheThreeByteExampleOnTheWire)
{
    std::string received;
    RawPeer peer([&](SOCKET s) {
        received = ReceiveExactly(s, 22);
        ::send(s, ok.data(), static_cast<int>(ok.size()), 0);
        DrainUntilClosed(s);
    });
    sender.Port = peer.Port();
    sender.FromName = "a.txt";
    TMemoryStream content("abc");
    std::string reply;
    sender.PostStream(content, reply);
    EXPECT_EQ(received, "0005a.txt         3abc");
    EXPECT_EQ(reply, ok);
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(messagesSent, 1);
    EXPECT_EQ(packets, 1);
    EXPECT_EQ(sender.SentByteCount, 3);
    EXPECT_EQ(sender.TransferSize, 3);
    EXPECT_FALSE(sender.Connected);
}

TEST_F(StreamClientTest, EmptyNameAndEmptyStream)
{
    std::string received;
    RawPeer peer([&](SOCKET s) {
        received = ReceiveExactly(s, 14);
        ::send(s, ok.data(), static_cast<int>(ok.size()), 0);
        DrainUntilClosed(s);
    });
    sender.Port = peer.Port();
    TMemoryStream empty;
    std::string reply;
    sender.PostStream(empty, reply);
    EXPECT_EQ(received, "0000         0");
    EXPECT_EQ(packets, 0);
}

TEST_F(StreamClientTest, LargeContentArrivesIntactInCountedPieces)
{
    std::string content(65537 * 3, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31 % 251);
    std::string received;
    RawPeer peer([&](SOCKET s) {
        received = ReceiveExactly(s, 4 + 7 + 10 + content.size());
        ::send(s, ok.data(), static_cast<int>(ok.size()), 0);
        DrainUntilClosed(s);
    });
    sender.Port = peer.Port();
    sender.FromName = "big.bin";
    TMemoryStream stream(content);
    std::string reply;
    int sends = 0;
    std::int32_t last = 0;
    bool growing = true;
    sender.OnPacketSent = [&] {
        ++sends;
        growing = growing && sender.SentByteCount > last;
        last = sender.SentByteCount;
    };
    sender.PostStream(stream, reply);
    EXPECT_EQ(received.substr(0, 21), "0007big.bin    196611");
    EXPECT_TRUE(received.substr(21) == content);
    EXPECT_GE(sends, 4);  // at most 65,536 bytes a piece
    EXPECT_TRUE(growing);
    EXPECT_EQ(sender.SentByteCount, static_cast<std::int32_t>(content.size()));
}

TEST_F(StreamClientTest, AReceiverThatClosesWithoutAnsweringGivesAnEmptyReply)
{
    RawPeer peer([&](SOCKET s) { ReceiveExactly(s, 22); });
    sender.Port = peer.Port();
    sender.FromName = "a.txt";
    TMemoryStream content("abc");
    std::string reply = "unchanged";
    EXPECT_NO_THROW(sender.PostStream(content, reply));
    EXPECT_EQ(reply, "");
}

TEST_F(StreamClientTest, ARefusedConnectionFailsWithoutConnectOrDisconnect)
{
    // A port nobody listens on: take one and close it again.
    int port = 0;
    {
        RawPeer probe([](SOCKET) {});
        port = probe.Port();
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = ::htons(static_cast<u_short>(port));
        a.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::closesocket(s);
    }
    sender.Port = port;
    std::vector<std::string> order;
    sender.OnConnectionFailed = [&] { order.push_back("failed"); };
    try {
        sender.Connect();
        FAIL() << "connected";
    } catch (const ESockError& e) {
        order.push_back(e.what());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"failed", "Connection Failed"}));
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(disconnects, 0);
    EXPECT_FALSE(sender.Connected);
}

TEST_F(StreamClientTest, AlreadyConnectedAndAFreshSocketAfterDisconnect)
{
    for (int round = 0; round < 2; ++round) {
        RawPeer peer([&](SOCKET s) { DrainUntilClosed(s); });
        sender.Port = peer.Port();
        sender.Connect();
        EXPECT_TRUE(sender.Connected);
        try {
            sender.Connect();
            FAIL() << "connected twice";
        } catch (const ESockError& e) {
            EXPECT_STREQ(e.what(), "Already connected");
        }
        sender.Disconnect();
        EXPECT_FALSE(sender.Connected);
    }
    EXPECT_EQ(connects, 2);
    EXPECT_EQ(disconnects, 2);
}

TEST_F(StreamClientTest, NullAddressIsOfferedToTheInvalidHostHandlerOnce)
{
    sender.Host = "0.0.0.0";
    int offered = 0;
    sender.OnInvalidHost = [&](bool& handled) {
        ++offered;
        sender.Host = "0.0.0.0";  // a new host that again does not resolve
        handled = true;
    };
    try {
        sender.Connect();
        FAIL() << "connected";
    } catch (const ESockError& e) {
        EXPECT_STREQ(e.what(), "Null Remote Address");
    }
    EXPECT_EQ(offered, 1);
}

TEST_F(StreamClientTest, NamesAreLookedUpAndDottedAddressesAreNot)
{
    RawPeer peer([&](SOCKET s) { DrainUntilClosed(s); });
    int resolved = 0;
    sender.OnHostResolved = [&] { ++resolved; };
    sender.Port = peer.Port();
    sender.Host = "localhost";
    sender.Connect();
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(sender.RemoteAddress(), "127.0.0.1");
    sender.Disconnect();
}

TEST_F(StreamClientTest, StatusReportsFollowTheLevelAndErrorsCarryTheirText)
{
    std::vector<std::string> reports;
    sender.OnStatus = [&](const std::string& status) { reports.push_back(status); };
    sender.ReportLevel = 0;
    sender.Cancel();
    EXPECT_TRUE(reports.empty());
    sender.ReportLevel = 8;
    sender.Cancel();
    EXPECT_EQ(reports, (std::vector<std::string>{"Canceling"}));
    EXPECT_EQ(sender.Status, "Canceling");
    EXPECT_GE(TPowersock::SocketUserCount(), 1);
    sender.OnStatus = nullptr;  // the component reports its own end too
}

TEST_F(StreamClientTest, ConnectTimesOutWhenThePeerNeverTakesTheConnection)
{
    // A listener that never accepts: once its queue is full, further
    // connection attempts stay pending.
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    int length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<SOCKET> fillers;
    for (int i = 0; i < 8; ++i) {
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        u_long nonBlocking = 1;
        ::ioctlsocket(s, FIONBIO, &nonBlocking);
        ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(s);
    }
    ::Sleep(100);
    sender.Port = ::ntohs(address.sin_port);
    sender.TimeOut = 300;
    std::string error;
    const DWORD start = ::GetTickCount();
    try {
        sender.Connect();
    } catch (const ESockError& e) {
        error = e.what();
    }
    const DWORD took = ::GetTickCount() - start;
    for (SOCKET s : fillers)
        ::closesocket(s);
    ::closesocket(listener);
    if (error.empty()) {
        sender.Disconnect();
        GTEST_SKIP() << "the platform accepted every connection into its queue";
    }
    EXPECT_EQ(error, "Connection Timed out");
    EXPECT_EQ(failures, 1);
    EXPECT_GE(took, 250u);
    EXPECT_LT(took, 5000u);
}

TEST_F(StreamClientTest, CancellingAWaitingReadAborts)
{
    // A receiver that takes the transfer but never answers.
    RawPeer peer([&](SOCKET s) { DrainUntilClosed(s); });
    sender.Port = peer.Port();
    sender.FromName = "a.txt";
    TThreadTimer canceller;
    canceller.SetInterval(200);
    canceller.SetOnTimer([this] { sender.Cancel(); });
    TMemoryStream content("abc");
    std::string reply;
    try {
        sender.PostStream(content, reply);
        FAIL() << "no abort";
    } catch (const EAbortError& e) {
        EXPECT_STREQ(e.what(), "Socket send aborted");
    }
    canceller.SetEnabled(false);
    EXPECT_FALSE(sender.Connected);  // the connection is closed before the error leaves
    EXPECT_FALSE(sender.Canceled);
}
