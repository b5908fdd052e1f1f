// The receiving component on loopback: raw peers that follow the format,
// break it or just hang around, and the sending component end to end.
#include "core/StreamHeader.h"
#include "transfer/NMSTRM.h"
#include "transfer/NMSTRMServ.h"
#include "winui/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string ok = "OK              ";

bool PumpUntil(const std::function<bool()>& done, int milliseconds = 10000)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > static_cast<DWORD>(milliseconds))
            return false;
        winui::ProcessMessages();
        ::Sleep(2);
    }
    return true;
}

// A blocking client connection to the receiver.
class RawClient {
public:
    enum class Mode { Wait, NoWait };  // NoWait: the connection completes on its own
    explicit RawClient(int port, Mode mode = Mode::Wait)
    {
        s_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (mode == Mode::NoWait) {
            u_long nonBlocking = 1;
            ::ioctlsocket(s_, FIONBIO, &nonBlocking);
        }
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = ::htons(static_cast<u_short>(port));
        a.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        connected_ = ::connect(s_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~RawClient() { Close(); }
    bool Connected() const { return connected_; }
    void Send(const std::string& bytes) { ::send(s_, bytes.data(), static_cast<int>(bytes.size()), 0); }
    // Everything until the receiver closes or `count` bytes have come.
    std::string Receive(std::size_t count)
    {
        std::string bytes;
        char buffer[256];
        while (bytes.size() < count) {
            const int n = ::recv(s_, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }
    void Close()
    {
        if (s_ != INVALID_SOCKET)
            ::closesocket(std::exchange(s_, INVALID_SOCKET));
    }
    // Sends nothing more but still receives.
    void HalfClose() { ::shutdown(s_, 1); }
    // True once the receiver has closed or reset the connection; false when
    // `stop` says so first or the time is up. What arrives meanwhile is dropped.
    bool WaitForEnd(const std::function<bool()>& stop, int milliseconds)
    {
        const DWORD start = ::GetTickCount();
        while (!stop() && ::GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(s_, &readable);
            timeval pause{0, 10000};
            if (::select(0, &readable, nullptr, nullptr, &pause) == 1) {
                char buffer[256];
                if (::recv(s_, buffer, sizeof buffer, 0) <= 0)
                    return true;
            }
        }
        return false;
    }

private:
    SOCKET s_ = INVALID_SOCKET;
    bool connected_ = false;
};

struct Received {
    std::string from;
    std::string content;
    DWORD thread;
    bool inMemory;
};

class StreamServerTest : public ::testing::Test {
protected:
    explicit StreamServerTest(int port = 47011)
    {
        WSADATA data{};
        ::WSAStartup(0x0101, &data);
        receiver = std::make_unique<TNMStrmServ>();
        receiver->Port = port;
        receiver->OnClientContact = [this] {
            ++contacts;
            maxSessions = std::max(maxSessions, receiver->SessionCount());
        };
        receiver->OnMSG = [this](TNMStrmServ&, const std::string& from, TStream& strm) {
            std::string content(static_cast<std::size_t>(strm.Size()), '\0');
            strm.Read(content.data(), content.size());
            std::lock_guard<std::mutex> lock(lock_);
            received.push_back({from, content, ::GetCurrentThreadId(), strm.AsFile() == nullptr});
        };
        receiver->OnCaptureFailed = [this](TNMStrmServ&, const std::string&) { ++captureFailures; };
        receiver->Listen();
    }
    ~StreamServerTest() override
    {
        receiver.reset();
        ::WSACleanup();
    }

    std::vector<Received> Messages()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return received;
    }

    // Runs a raw client on its own thread while this thread takes messages.
    void WithClient(const std::function<void()>& client)
    {
        std::atomic<bool> done{false};
        std::thread t([&] {
            client();
            done = true;
        });
        EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
        t.join();
    }

    winui::Application app;
    std::unique_ptr<TNMStrmServ> receiver;
    std::mutex lock_;
    std::vector<Received> received;
    std::atomic<int> contacts{0};
    std::atomic<int> captureFailures{0};
    int maxSessions = 0;
};

}  // namespace

TEST_F(StreamServerTest, TheThreeByteExampleIsAnsweredWithSixteenBytes)
{
    std::string answer;
    WithClient([&] {
        RawClient client(receiver->Port);
        ASSERT_TRUE(client.Connected());
        client.Send("0005a.txt         3abc");
        answer = client.Receive(16);
        client.Close();
    });
    ASSERT_TRUE(PumpUntil([&] { return !Messages().empty() && receiver->SessionCount() == 0; }));
    EXPECT_EQ(answer, ok);
    const std::vector<Received> messages = Messages();
    EXPECT_EQ(messages[0].from, "a.txt");
    EXPECT_EQ(messages[0].content, "abc");
    EXPECT_NE(messages[0].thread, ::GetCurrentThreadId());  // on the session's thread
    EXPECT_EQ(contacts, 1);
    EXPECT_EQ(receiver->RemoteAddress(), "127.0.0.1");
}

TEST_F(StreamServerTest, ASecondConnectionGetsItsOwnSessionWhileTheFirstRuns)
{
    std::atomic<bool> firstHalfSent{false}, secondDone{false}, release{false};
    std::string firstAnswer, secondAnswer;
    std::thread first([&] {
        RawClient client(receiver->Port);
        client.Send("0009first.");
        firstHalfSent = true;
        while (!release)
            ::Sleep(5);
        client.Send("txt" "         1" "A");
        firstAnswer = client.Receive(16);
    });
    ASSERT_TRUE(PumpUntil([&] { return firstHalfSent && receiver->SessionCount() == 1; }));
    std::thread second([&] {
        RawClient client(receiver->Port);
        client.Send("0010second.txt         1B");
        secondAnswer = client.Receive(16);
        secondDone = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return secondDone && Messages().size() == 1; }));
    EXPECT_EQ(Messages()[0].from, "second.txt");  // while the first still waits
    EXPECT_EQ(maxSessions, 2);
    release = true;
    ASSERT_TRUE(PumpUntil([&] { return Messages().size() == 2 && receiver->SessionCount() == 0; }));
    first.join();
    second.join();
    const std::vector<Received> messages = Messages();
    EXPECT_EQ(messages[1].from, "first.txt");
    EXPECT_EQ(messages[1].content, "A");
    EXPECT_NE(messages[0].thread, messages[1].thread);
    EXPECT_EQ(firstAnswer, ok);
    EXPECT_EQ(secondAnswer, ok);
    EXPECT_EQ(contacts, 2);
}

TEST_F(StreamServerTest, SenderAndReceiverEndToEnd)
{
    TNMStrm sender;
    sender.Host = "127.0.0.1";
    sender.Port = receiver->Port;
    std::vector<std::pair<std::string, std::string>> sent;
    for (std::size_t size : {0u, 3u, 65535u, 65536u, 65537u, 300000u}) {
        std::string content(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            content[i] = static_cast<char>((i * 7 + size) % 256);
        sender.FromName = size == 0 ? "" : "file" + std::to_string(size) + ".bin";
        TMemoryStream stream(content);
        std::string reply;
        sender.PostStream(stream, reply);
        EXPECT_EQ(reply, ok);
        sent.emplace_back(sender.FromName, content);
    }
    ASSERT_TRUE(PumpUntil([&] { return Messages().size() == sent.size(); }));
    std::vector<Received> messages = Messages();
    for (const auto& [name, content] : sent) {
        const auto it = std::find_if(messages.begin(), messages.end(), [&](const Received& r) { return r.from == name; });
        ASSERT_NE(it, messages.end()) << name;
        EXPECT_TRUE(it->content == content) << name;
    }
}

namespace {

std::uint64_t Digest(TStream& stream)
{
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    std::vector<unsigned char> buffer(1 << 20);
    for (std::size_t n; (n = stream.Read(buffer.data(), buffer.size())) > 0;)
        for (std::size_t i = 0; i < n; ++i)
            hash = (hash ^ buffer[i]) * 1099511628211ull;
    return hash;
}

}  // namespace

TEST_F(StreamServerTest, AHundredMebibytesArriveIntactThroughATemporaryFile)
{
    auto source = TFileStream::Temporary();
    std::vector<unsigned char> chunk(1 << 20);
    std::uint32_t state = 12345;
    for (int block = 0; block < 100; ++block) {
        for (auto& byte : chunk) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<unsigned char>(state >> 16);
        }
        source->Write(chunk.data(), chunk.size());
    }
    source->SetPosition(0);
    const std::uint64_t sentDigest = Digest(*source);

    std::atomic<std::uint64_t> receivedDigest{0};
    std::atomic<std::int64_t> receivedSize{0};
    receiver->OnMSG = [&](TNMStrmServ&, const std::string&, TStream& strm) {
        receivedSize = strm.Size();
        receivedDigest = Digest(strm);
    };
    TNMStrm sender;
    sender.Host = "127.0.0.1";
    sender.Port = receiver->Port;
    sender.FromName = "big.bin";
    std::string reply;
    sender.PostStream(*source, reply);
    EXPECT_EQ(reply, ok);
    EXPECT_EQ(sender.SentByteCount, 100 * (1 << 20));
    ASSERT_TRUE(PumpUntil([&] { return receivedSize != 0 && receiver->SessionCount() == 0; }, 60000));
    EXPECT_EQ(receivedSize.load(), 100ll * (1 << 20));
    EXPECT_EQ(receivedDigest.load(), sentDigest);
}

TEST_F(StreamServerTest, MalformedAndTruncatedTransfersRaiseNoMessage)
{
    for (const char* wire : {"00x5a.txt         3abc", "0005a.txt        -3abc", "0005a.txt       abcabc"}) {
        WithClient([&] {
            RawClient client(receiver->Port);
            client.Send(wire);
            client.Close();
        });
    }
    std::string answer;
    WithClient([&] {
        RawClient client(receiver->Port);
        client.Send("0005a.txt        10abc");  // 3 of 10 bytes, then gone
        client.Close();
    });
    // A name with folder parts is passed on as it stands.
    WithClient([&] {
        RawClient client(receiver->Port);
        client.Send("0011..\\C:\\x.txt         1z");
        answer = client.Receive(16);
    });
    ASSERT_TRUE(PumpUntil([&] { return !Messages().empty() && receiver->SessionCount() == 0; }));
    const std::vector<Received> messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].from, "..\\C:\\x.txt");
    EXPECT_EQ(answer, ok);
    EXPECT_EQ(contacts, 5);
}

TEST_F(StreamServerTest, IdleAndFloodingPeersAreDroppedAndAValidTransferFollows)
{
    receiver->IdleLimitMs = 3000;
    receiver->MaxSessions = 64;
    // 200 connections that never send a byte, each opened once the previous
    // one has been taken (with a backlog of 1 the platform itself makes an
    // unpaced flood wait in its connection retries, which takes minutes).
    constexpr int idleCount = 200;
    std::vector<std::unique_ptr<RawClient>> idle;
    std::atomic<bool> allOpened{false};
    std::thread opener([&] {
        for (int i = 0; i < idleCount; ++i) {
            idle.push_back(std::make_unique<RawClient>(receiver->Port));
            const DWORD start = ::GetTickCount();
            while (contacts <= i && ::GetTickCount() - start < 5000)
                ::Sleep(1);
        }
        allOpened = true;
    });
    const bool opened = PumpUntil([&] { return allOpened.load(); }, 120000);
    opener.join();
    ASSERT_TRUE(opened);
    EXPECT_EQ(contacts, idleCount);
    EXPECT_GT(maxSessions, 1);
    EXPECT_LE(maxSessions, 64);

    // A burst of connections opened all at once, then dropped by the peer.
    {
        std::vector<std::unique_ptr<RawClient>> burst;
        WithClient([&] {
            for (int i = 0; i < 20; ++i)
                burst.push_back(std::make_unique<RawClient>(receiver->Port, RawClient::Mode::NoWait));
        });
        PumpUntil([&] { return false; }, 300);
    }
    EXPECT_LE(receiver->SessionCount(), 64);

    // Connections beyond the cap wait for a session rather than being
    // turned away; each idles out in its turn, and then none is left.
    ASSERT_TRUE(PumpUntil([&] { return receiver->SessionCount() == 0 && receiver->WaitingCount() == 0; }, 60000));
    idle.clear();

    TNMStrm sender;
    sender.Host = "127.0.0.1";
    sender.Port = receiver->Port;
    sender.FromName = "after.txt";
    TMemoryStream stream("still works");
    std::string reply;
    sender.PostStream(stream, reply);
    EXPECT_EQ(reply, ok);
    ASSERT_TRUE(PumpUntil([&] { return !Messages().empty(); }));
    EXPECT_EQ(Messages().back().content, "still works");
}

TEST_F(StreamServerTest, ABurstBeyondTheSessionsWaitsAndEveryTransferIsAcknowledged)
{
    // Four sessions, slow storing, and eight peers sending twenty-five files
    // each back to back: connect, send, wait for the answer, close, next.
    // The first stores wait until a connection has had to wait for a session.
    receiver->MaxSessions = 4;
    std::atomic<bool> oneWaited{false};
    receiver->OnClientContact = [this, &oneWaited] {
        ++contacts;
        if (receiver->WaitingCount() > 0)
            oneWaited = true;
    };
    receiver->OnMSG = [&, original = receiver->OnMSG](TNMStrmServ& session, const std::string& from, TStream& strm) {
        for (int i = 0; i < 300 && !oneWaited; ++i)
            ::Sleep(10);
        ::Sleep(20);
        original(session, from, strm);
    };
    constexpr int peers = 8, each = 25;
    std::atomic<int> acknowledged{0};
    std::atomic<int> finished{0};
    std::vector<std::thread> senders;
    for (int p = 0; p < peers; ++p)
        senders.emplace_back([&, p] {
            for (int i = 0; i < each; ++i) {
                RawClient client(receiver->Port);
                const std::string name = "p" + std::to_string(p) + "-" + std::to_string(i) + ".txt";
                client.Send(*larkspan::transfer::EncodeHeader(name, 5) + "hello");
                if (client.Receive(16) == ok)
                    ++acknowledged;
            }
            ++finished;
        });
    const bool done = PumpUntil(
        [&] {
            EXPECT_LE(receiver->SessionCount(), 4);
            return finished == peers;
        },
        120000);
    for (std::thread& t : senders)
        t.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(acknowledged, peers * each);
    ASSERT_TRUE(PumpUntil([&] { return Messages().size() == static_cast<std::size_t>(peers * each); }));
    EXPECT_TRUE(oneWaited);  // some did wait for a session
}

TEST_F(StreamServerTest, AHandlerThatCannotKeepTheContentTurnsTheSenderAwayUnanswered)
{
    receiver->OnMSG = [](TNMStrmServ&, const std::string& from, TStream&) {
        if (from == "refused.txt")
            throw std::runtime_error("not kept");
    };
    std::string refused, kept;
    WithClient([&] {
        RawClient first(receiver->Port);
        first.Send("0011refused.txt         3abc");
        refused = first.Receive(16);
        RawClient second(receiver->Port);
        second.Send("0008kept.txt         3abc");
        kept = second.Receive(16);
    });
    EXPECT_EQ(refused, "");
    EXPECT_EQ(kept, ok);
}

TEST_F(StreamServerTest, APeerThatBreaksOffEarlyGetsNoAnswerRaisesNothingAndFreesItsSessionAtOnce)
{
    // The idle limit stays at a minute: these sessions must end because their
    // peer has closed, with nothing acknowledged that did not arrive whole.
    const std::vector<std::string> cutShort = {
        "00",            // in the name's length
        "0005a.t",       // in the name
        "0005a.txt   ",  // in the size
        "0005a.txt2147483647" + std::string(1000, 'x'),  // in the content
    };
    for (std::size_t i = 0; i < cutShort.size(); ++i) {
        RawClient client(receiver->Port);
        client.Send(cutShort[i]);
        client.HalfClose();
        ASSERT_TRUE(PumpUntil([&] { return contacts == static_cast<int>(i + 1) && receiver->SessionCount() == 0; },
                              5000))
            << i;
        EXPECT_EQ(client.Receive(16), "") << i;
    }
    // Nor does one that falls silent in its content until the idle limit ends it.
    receiver->IdleLimitMs = 500;
    {
        RawClient client(receiver->Port);
        client.Send("0005a.txt2147483647" + std::string(1000, 'x'));
        ASSERT_TRUE(PumpUntil([&] { return contacts == 5 && receiver->SessionCount() == 0; }, 5000));
    }
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(captureFailures, 0);  // a peer breaking off is no failure to keep content

    // Bytes after the content belong to no transfer; they do not hide the close.
    RawClient client(receiver->Port);
    client.Send("0005a.txt         3abc" "trailing");
    client.HalfClose();
    ASSERT_TRUE(PumpUntil([&] { return !Messages().empty() && receiver->SessionCount() == 0; }, 5000));
    EXPECT_EQ(client.Receive(16), ok);
    EXPECT_EQ(Messages()[0].content, "abc");
}

TEST_F(StreamServerTest, TeardownLetsRunningSessionsFinishAndTakesNoNewContact)
{
    struct Probe {
        std::atomic<bool> inHandler{false}, release{false}, tearingDown{false}, handlerGoneWhileRunning{false};
        std::atomic<int> handlersGone{0}, lateContacts{0};
    } probe;
    Probe* const p = &probe;
    // The token's last copy goes with the handler, so its deleter sees when
    // the handler is destroyed and whether it was still running then.
    std::shared_ptr<void> token(nullptr, [p](void*) {
        ++p->handlersGone;
        p->handlerGoneWhileRunning = p->inHandler && !p->release;
    });
    receiver->OnMSG = [p, token = std::move(token)](TNMStrmServ&, const std::string&, TStream&) {
        Probe* const shared = p;  // taken before the wait, in case the handler goes
        shared->inHandler = true;
        while (!shared->release)
            ::Sleep(1);
    };
    receiver->OnClientContact = [this, p] {
        ++contacts;
        if (p->tearingDown)
            ++p->lateContacts;
    };
    const int port = receiver->Port;
    std::string answer;
    bool lateTurnedAway = false;
    std::thread peers([&] {
        RawClient first(port);
        first.Send("0005a.txt         3abc");
        while (!p->tearingDown && !p->release)
            ::Sleep(1);
        // A connection while the receiver is being destroyed is turned away.
        RawClient late(port);
        lateTurnedAway = !late.Connected() || late.WaitForEnd([p] { return p->lateContacts > 0; }, 10000);
        p->release = true;
        // The handler kept the content: the first sender is answered all the same.
        answer = first.Receive(16);
    });
    const bool handling = PumpUntil([p] { return p->inHandler.load(); });
    EXPECT_TRUE(handling);
    if (handling) {
        p->tearingDown = true;
        receiver.reset();  // while the session is still in its handler
    }
    p->release = true;
    peers.join();
    EXPECT_EQ(answer, ok);
    EXPECT_EQ(p->lateContacts, 0);
    EXPECT_TRUE(lateTurnedAway);
    EXPECT_FALSE(p->handlerGoneWhileRunning);
    EXPECT_EQ(p->handlersGone, handling ? 1 : 0);
}

TEST_F(StreamServerTest, SessionsTogetherKeepNoMoreThanTheMemoryLimitInMemory)
{
    receiver->SetMemoryLimit(1 << 20);
    std::atomic<bool> firstHeld{false}, release{false};
    receiver->OnMSG = [&, record = receiver->OnMSG](TNMStrmServ& session, const std::string& from, TStream& strm) {
        record(session, from, strm);
        if (from == "first") {
            firstHeld = true;  // its content stays claimed until the handler returns
            while (!release)
                ::Sleep(1);
        }
    };
    std::string content(700 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i % 253);
    // Each sender on the thread that sends: the first one waits for its
    // answer until its handler is released.
    const auto send = [&](const char* name) {
        TNMStrm sender;
        sender.Host = "127.0.0.1";
        sender.Port = receiver->Port;
        sender.FromName = name;
        TMemoryStream stream(content);
        std::string reply;
        sender.PostStream(stream, reply);
        EXPECT_EQ(reply, ok) << name;
    };
    std::thread first([&] { send("first"); });
    ASSERT_TRUE(PumpUntil([&] { return firstHeld.load(); }));
    send("second");  // the first still holds 700 of the 1,024 KiB
    const bool secondArrived = PumpUntil([&] { return Messages().size() == 2; });
    release = true;
    first.join();
    ASSERT_TRUE(secondArrived);
    ASSERT_TRUE(PumpUntil([&] { return receiver->SessionCount() == 0; }));
    send("third");  // what the first held has been given back
    ASSERT_TRUE(PumpUntil([&] { return Messages().size() == 3; }));

    std::vector<std::pair<std::string, bool>> kept;
    for (const Received& r : Messages()) {
        kept.emplace_back(r.from, r.inMemory);
        EXPECT_TRUE(r.content == content) << r.from;
    }
    EXPECT_EQ(kept, (std::vector<std::pair<std::string, bool>>{{"first", true}, {"second", false}, {"third", true}}));
}
