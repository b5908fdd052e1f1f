// The sending component against raw blocking-socket peers on loopback.
#include "transfer/NMSTRM.h"
#include "winui/Application.h"
#include "winui/MessageWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

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

// A loopback listener that never accepts, its queue filled: further
// connection attempts to it stay pending.
class UnansweringListener {
public:
    UnansweringListener()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        address_.sin_family = AF_INET;
        address_.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address_), sizeof address_);
        ::listen(listener_, 1);
        int length = sizeof address_;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &length);
        for (int i = 0; i < 8; ++i) {
            const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            u_long nonBlocking = 1;
            ::ioctlsocket(s, FIONBIO, &nonBlocking);
            ::connect(s, reinterpret_cast<sockaddr*>(&address_), sizeof address_);
            fillers_.push_back(s);
        }
        ::Sleep(100);
    }
    UnansweringListener(const UnansweringListener&) = delete;
    UnansweringListener& operator=(const UnansweringListener&) = delete;
    ~UnansweringListener()
    {
        for (SOCKET s : fillers_)
            ::closesocket(s);
        ::closesocket(listener_);
    }
    int Port() const { return ::ntohs(address_.sin_port); }

private:
    SOCKET listener_;
    sockaddr_in address_{};
    std::vector<SOCKET> fillers_;
};

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

TEST_F(StreamClientTest, TheFieldsAtTheirWidestAndNamesTheHeaderCannotCarry)
{
    // A stream that claims 1,234,567,890 bytes; the peer takes the header
    // and hangs up, which ends the transfer with a socket error.
    class Huge final : public TStream {
    public:
        std::size_t Read(void* buffer, std::size_t count) override
        {
            std::memset(buffer, 'x', count);
            position_ += static_cast<std::int64_t>(count);
            return count;
        }
        void Write(const void*, std::size_t) override {}
        std::int64_t Size() const override { return 1234567890; }
        std::int64_t Position() const override { return position_; }
        void SetPosition(std::int64_t position) override { position_ = position; }

    private:
        std::int64_t position_ = 0;
    } huge;
    std::string header;
    RawPeer peer([&](SOCKET s) { header = ReceiveExactly(s, 24); });
    sender.Port = peer.Port();
    sender.FromName = "0123456789";
    std::string reply;
    EXPECT_THROW(sender.PostStream(huge, reply), ESockError);
    EXPECT_EQ(header, "00100123456789" "1234567890");
    EXPECT_FALSE(sender.Connected);

    RawPeer second([&](SOCKET s) { DrainUntilClosed(s); });
    sender.Port = second.Port();
    sender.FromName = std::string("a\0b", 3);
    TMemoryStream content("abc");
    EXPECT_THROW(sender.PostStream(content, reply), std::range_error);
    EXPECT_FALSE(sender.Connected);
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

TEST_F(StreamClientTest, AReceiverThatClosesWithoutTheAcknowledgementHasNotKeptTheContent)
{
    for (const std::string answer : {"", "OK", "NO              "}) {
        RawPeer peer([&](SOCKET s) {
            ReceiveExactly(s, 22);
            ::send(s, answer.data(), static_cast<int>(answer.size()), 0);
        });
        sender.Port = peer.Port();
        sender.FromName = "a.txt";
        TMemoryStream content("abc");
        std::string reply;
        EXPECT_THROW(sender.PostStream(content, reply), ESockError) << '"' << answer << '"';
        EXPECT_FALSE(sender.Connected);
    }
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
    UnansweringListener listener;
    sender.Port = listener.Port();
    sender.TimeOut = 300;
    std::string error;
    const DWORD start = ::GetTickCount();
    try {
        sender.Connect();
    } catch (const ESockError& e) {
        error = e.what();
    }
    const DWORD took = ::GetTickCount() - start;
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

namespace {

// Cancels the component from the message loop of a wait it is in: the
// message is posted before the wait starts, so it comes first.
class CancelFromTheLoop {
public:
    explicit CancelFromTheLoop(TPowersock& component)
        : window_("Larkspan.TestCanceller", [&component](UINT message, WPARAM, LPARAM) {
              if (message != WM_APP)
                  return false;
              component.Cancel();
              return true;
          })
    {
        window_.Create();
        ::PostMessageA(window_.Handle(), WM_APP, 0, 0);
    }

private:
    winui::MessageWindow window_;
};

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST_F(StreamClientTest, LinesAndTransactions)
{
    std::string command;
    RawPeer peer([&](SOCKET s) {
        command = ReceiveExactly(s, 6);
        const std::string replies = "250 Fine\r\npar";
        ::send(s, replies.data(), static_cast<int>(replies.size()), 0);
        ::Sleep(100);
        ::send(s, "tial\nrest", 9, 0);
        DrainUntilClosed(s);
    });
    sender.Port = peer.Port();
    sender.Connect();
    EXPECT_EQ(sender.Transaction("HELO"), "250 Fine\r\n");
    EXPECT_EQ(command, "HELO\r\n");
    EXPECT_EQ(sender.LastReply, "250 Fine\r\n");
    EXPECT_EQ(sender.ReplyNumber, 250);
    EXPECT_EQ(sender.ReadLn(), "partial\n");  // one line from two pieces
    {
        // Nothing more comes: only a cancellation ends the wait.
        CancelFromTheLoop cancel(sender);
        EXPECT_EQ(ErrorOf([&] { sender.ReadLn(); }), "Socket readln aborted");
    }
    EXPECT_FALSE(sender.Canceled);
    sender.Disconnect();
}

TEST_F(StreamClientTest, AReplyWithoutDigitsHasNumberZeroAndAClosedPeerGivesAnEmptyLine)
{
    RawPeer peer([&](SOCKET s) {
        ReceiveExactly(s, 4);
        ::send(s, "OK\nno end", 9, 0);  // then closes amid the second line
    });
    sender.Port = peer.Port();
    sender.Connect();
    sender.ReplyNumber = 7;
    EXPECT_EQ(sender.Transaction("NO"), "OK\n");
    EXPECT_EQ(sender.ReplyNumber, 0);
    EXPECT_EQ(sender.ReadLn(), "");  // the peer closed before the line ended
    sender.Disconnect();
}

TEST_F(StreamClientTest, CapturingStopsAtACancellationOrTheTimeOut)
{
    std::atomic<bool> release{false};
    RawPeer peer([&](SOCKET s) {
        ::send(s, "0123456789", 10, 0);
        while (!release)
            ::Sleep(10);
    });
    sender.Port = peer.Port();
    sender.Connect();
    TMemoryStream captured;
    int pieces = 0;
    sender.OnPacketRecvd = [&] { ++pieces; };
    TThreadTimer canceller;
    canceller.SetInterval(300);
    canceller.SetOnTimer([this] { sender.Cancel(); });
    EXPECT_EQ(ErrorOf([&] { sender.CaptureStream(captured, 100); }), "Socket capture aborted");
    canceller.SetEnabled(false);
    EXPECT_EQ(captured.Bytes(), "0123456789");
    EXPECT_EQ(sender.ReceivedByteCount, 10);
    EXPECT_GE(pieces, 1);

    // The time-out aborts the same way; the sending component's abort also
    // closes the connection.
    sender.TimeOut = 200;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(ErrorOf([&] { sender.CaptureStream(captured, 100); }), "Socket capture aborted");
    EXPECT_GE(::GetTickCount() - start, 150u);
    EXPECT_FALSE(sender.Connected);
    release = true;
}

TEST_F(StreamClientTest, ACancelledLookupEndsConnectWithoutOfferingAnotherHost)
{
    sender.Host = "localhost";
    sender.Port = 9;
    int offered = 0;
    sender.OnInvalidHost = [&](bool&) { ++offered; };
    CancelFromTheLoop cancel(sender);
    EXPECT_EQ(ErrorOf([&] { sender.Connect(); }), "Host Lookup Canceled");
    EXPECT_EQ(offered, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(sender.Connected);
}

TEST_F(StreamClientTest, AFailedLookupIsOfferedToTheInvalidHostHandler)
{
    RawPeer peer([&](SOCKET s) { DrainUntilClosed(s); });
    sender.Host = "no-such-host.invalid";
    sender.Port = peer.Port();
    int offered = 0;
    sender.OnInvalidHost = [&](bool& handled) {
        ++offered;
        sender.Host = "127.0.0.1";  // the user's correction
        handled = true;
    };
    sender.Connect();
    EXPECT_TRUE(sender.Connected);
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(connects, 1);
    sender.Disconnect();
}

TEST_F(StreamClientTest, AnAbandonedLookupDoesNotEndTheNextWait)
{
    // A lookup cancelled before it could complete.
    sender.Host = "no-such-host.invalid";
    sender.ReportLevel = 8;
    sender.OnStatus = [this](const std::string& status) {
        if (status == "Timer On")  // just before the lookup starts
            sender.Cancel();
    };
    EXPECT_EQ(ErrorOf([&] { sender.Connect(); }), "Host Lookup Canceled");
    sender.OnStatus = nullptr;
    sender.ReportLevel = 0;
    // Its failure, should the platform still post it, is left waiting in the
    // queue for the next wait to take: a connection that stays pending.
    MSG queued;
    const DWORD start = ::GetTickCount();
    while (!::PeekMessageA(&queued, nullptr, TPowersock::lookupMessage, TPowersock::lookupMessage, PM_NOREMOVE) &&
           ::GetTickCount() - start < 2000)
        ::Sleep(1);
    UnansweringListener listener;
    sender.Host = "127.0.0.1";
    sender.Port = listener.Port();
    sender.TimeOut = 300;
    const std::string error = ErrorOf([&] { sender.Connect(); });
    if (error.empty()) {
        sender.Disconnect();
        GTEST_SKIP() << "the platform accepted every connection into its queue";
    }
    EXPECT_EQ(error, "Connection Timed out");
}
