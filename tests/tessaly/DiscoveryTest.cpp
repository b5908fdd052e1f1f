// The discovery window searching a scripted network: the lines it lists, the
// entries it adds to the address book, the search window around the search,
// and the enumeration calls it makes.
#include "RealInput.h"
#include "ScriptedNetwork.h"
#include "TessalyFixture.h"

#include "tessaly/AddressList.h"
#include "tessaly/FilePortal.h"
#include "tessaly/NetWorkClients.h"
#include "tessaly/PageExport.h"

using namespace testing_support;

namespace {

// Steps run one after the other from a timer of the window's thread, so
// that they run inside the modal loops that the clicks open; a step returns
// false while what it needs is not on screen yet. Steps that do not get done
// within ten seconds give up: `giveUp` then closes what they left open.
class Steps {
public:
    Steps(std::vector<std::function<bool()>> steps, std::function<void()> giveUp)
        : steps_(std::move(steps)), giveUp_(std::move(giveUp)), deadline_(::GetTickCount() + 10000)
    {
        running = this;
        timer_ = ::SetTimer(nullptr, 0, 50, &Steps::Tick);
    }
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;
    ~Steps()
    {
        ::KillTimer(nullptr, timer_);
        running = nullptr;
    }
    bool Done() const { return next_ >= steps_.size(); }
    bool Succeeded() const { return next_ == steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Steps* steps = running;
        if (!steps || steps->Done() || steps->inStep_)
            return;
        if (::GetTickCount() > steps->deadline_) {
            steps->next_ = steps->steps_.size() + 1;  // never done
            steps->giveUp_();
            return;
        }
        steps->inStep_ = true;  // a click's modal loop would tick again inside it
        if (steps->steps_[steps->next_]())
            ++steps->next_;
        steps->inStep_ = false;
    }
    static inline Steps* running = nullptr;
    std::vector<std::function<bool()>> steps_;
    std::function<void()> giveUp_;
    DWORD deadline_;
    std::size_t next_ = 0;
    bool inStep_ = false;
    UINT_PTR timer_ = 0;
};

class DiscoveryTest : public TessalyTest {
protected:
    // Starts the program with this address book and this network, and
    // searches it as showing the window does.
    ScriptedNetwork& Search(const char* addressBook, NetNode root)
    {
        WriteFile(ProgramFile("IPAddress.dat"), addressBook);
        StartForms();
        return Research(std::move(root));
    }
    ScriptedNetwork& Research(NetNode root)
    {
        ScriptedNetwork& scripted = Install(std::move(root));
        frmNetworkClients->SpeedButton1Click();
        return scripted;
    }
    // The window's network from now on; each read notes whether the search
    // window is up.
    ScriptedNetwork& Install(NetNode root)
    {
        auto network = std::make_unique<ScriptedNetwork>(std::move(root));
        ScriptedNetwork& scripted = *network;
        scripted.whileEnumerating = [this] {
            searchWindowShown = searchWindowShown && frmExport->Visible();
        };
        frmNetworkClients->SetNetResources(std::move(network));
        // Only the scripted network: no Tessaly of the real one.
        frmFilePortal->LocalNetwork.reset();
        return scripted;
    }
    static std::vector<std::string> Lines() { return frmNetworkClients->ListBox1.Items(); }
    // The four lines of each machine, given by comment and host.
    static std::vector<std::string> Machines(std::initializer_list<std::pair<std::string, std::string>> machines)
    {
        std::vector<std::string> lines;
        for (const auto& [comment, host] : machines)
            lines.insert(lines.end(), {"Computer Name: " + comment, "Host Name and Connection Path: \\\\" + host,
                                       "Network Provider: Microsoft Windows Network", ""});
        return lines;
    }
    // The reads of one container, in order.
    static std::vector<std::string> ReadsOf(const ScriptedNetwork& scripted, const std::string& container)
    {
        std::vector<std::string> reads;
        for (const std::string& read : scripted.reads)
            if (read.rfind(container + " ", 0) == 0)
                reads.push_back(read);
        return reads;
    }
    static std::vector<std::string> Book() { return frmAddressList->ListBox1.Items(); }
    static NetNode Workgroup(std::vector<NetNode> servers)
    {
        return NetNode::Container("WORKGROUP", RESOURCEDISPLAYTYPE_DOMAIN, std::move(servers));
    }
    static NetNode Network(std::vector<NetNode> below)
    {
        return NetNode::Container("Microsoft Windows Network", RESOURCEDISPLAYTYPE_NETWORK, std::move(below));
    }
    static NetNode Root(std::vector<NetNode> networks)
    {
        NetNode root;
        root.children = std::move(networks);
        return root;
    }
    bool searchWindowShown = true;
};

}  // namespace

TEST_F(DiscoveryTest, WhoIsOnlineListsEachServerInFourLinesAndAddsIt)
{
    WriteFile(ProgramFile("IPAddress.dat"), "");
    StartForms();
    ScriptedNetwork& scripted = Install(Root({Network(
        {Workgroup({NetNode::Server("\\\\PC1", "Front desk"), NetNode::Server("\\\\PC2")})})}));

    // As the user goes: "..." on the portal shows the address book modally,
    // its "Who's Online?" the discovery window from there, whose search runs
    // as it opens; then "Add Host Names to List" and the book's "Close", all
    // clicked through the input system.
    frmFilePortal->Show();
    std::vector<std::string> listed;
    bool bookDisabledUnderIt = false;
    const Steps steps({
        [] { return frmAddressList->Visible() && (ClickWithMouse(frmAddressList->btnWho.Handle()), true); },
        [&] {
            if (!frmNetworkClients->Visible() || frmExport->Visible() || Lines().empty())
                return false;
            listed = Lines();
            bookDisabledUnderIt = !::IsWindowEnabled(frmAddressList->Handle());
            ClickWithMouse(frmNetworkClients->btnAdd.Handle());
            return true;
        },
        [] { return !frmNetworkClients->Visible() && (ClickWithMouse(frmAddressList->btnExit.Handle()), true); },
    }, [] {
        frmNetworkClients->Close();
        frmAddressList->Close();
    });
    ClickWithMouse(frmFilePortal->SpeedButton4.Handle());
    for (int i = 0; i < 200 && (!steps.Done() || frmAddressList->Visible()); ++i) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        winui::ProcessMessages();
    }
    ASSERT_TRUE(steps.Succeeded()) << "the clicks did not get through";
    EXPECT_TRUE(bookDisabledUnderIt);
    EXPECT_FALSE(frmAddressList->Visible());
    EXPECT_TRUE(::IsWindowEnabled(frmFilePortal->Handle()));

    EXPECT_EQ(listed, (std::vector<std::string>{
                          "Computer Name: Front desk", "Host Name and Connection Path: \\\\PC1",
                          "Network Provider: Microsoft Windows Network", "",
                          "Computer Name: ", "Host Name and Connection Path: \\\\PC2",
                          "Network Provider: Microsoft Windows Network", ""}));
    EXPECT_EQ(Book(), (std::vector<std::string>{" <PC2>", "Front desk <PC1>"}));
    EXPECT_FALSE(frmNetworkClients->Visible());
    EXPECT_TRUE(searchWindowShown);
    EXPECT_FALSE(frmExport->Visible());
    // Depth first: the network, its workgroup, then the servers, which are
    // not containers; the whole network is browsed for disk resources.
    EXPECT_EQ(scripted.calls, (std::vector<std::string>{"open (root)", "open Microsoft Windows Network",
                                                        "open WORKGROUP"}));
    EXPECT_EQ(scripted.scopes, std::vector<DWORD>(3, RESOURCE_GLOBALNET));
    EXPECT_EQ(scripted.types, std::vector<DWORD>(3, RESOURCETYPE_DISK));
    EXPECT_EQ(scripted.usages, std::vector<DWORD>(3, 0));
    // Each container is read until the provider has no more.
    EXPECT_EQ(scripted.reads, (std::vector<std::string>{
                                  "(root) 16384 -> 1", "(root) 16384 -> no more items",
                                  "Microsoft Windows Network 16384 -> 1",
                                  "Microsoft Windows Network 16384 -> no more items", "WORKGROUP 16384 -> 2",
                                  "WORKGROUP 16384 -> no more items"}));
    EXPECT_EQ(scripted.counts, std::vector<DWORD>(6, 0xFFFFFFFF));  // as many as fit
    EXPECT_TRUE(scripted.cleanAlignedBuffers);
    EXPECT_EQ(scripted.closed, 3);
    EXPECT_EQ(scripted.StillOpen(), 0);
}

// A Tessaly that answers on the local network follows the platform's
// machines, in the same four lines, and is added to the book by its address.
TEST_F(DiscoveryTest, TessalyMachinesAnsweringOnTheNetworkFollowAndAreAdded)
{
    WriteFile(ProgramFile("IPAddress.dat"), "");
    StartForms();
    Install(Root({Network({Workgroup({NetNode::Server("\\\\PC1", "Front desk")})})}));
    frmFilePortal->LocalNetwork = std::make_unique<MulticastDns>(MulticastDns::Settings{"Here", false});
    if (!frmFilePortal->LocalNetwork->Running())
        GTEST_SKIP() << "no IPv4 interface with multicast here";
    // An em dash in UTF-8 on the wire, 0x97 in code page 1252.
    MulticastDns other({"Lab \xE2\x80\x94 Desk", true});
    for (int i = 0; i < 50 && other.ClaimedInstance().empty(); ++i)
        ::Sleep(100);
    ASSERT_FALSE(other.ClaimedInstance().empty());

    frmNetworkClients->SpeedButton1Click();
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), Machines({{"Front desk", "PC1"}}));
    const auto at = std::ranges::find(lines, "Computer Name: Lab \x97 Desk");
    ASSERT_NE(at, lines.end());
    ASSERT_LT(at + 3, lines.end());
    const std::string path = at[1];
    ASSERT_EQ(path.rfind("Host Name and Connection Path: \\\\", 0), 0u) << path;
    const std::string address = path.substr(std::string("Host Name and Connection Path: \\\\").size());
    EXPECT_NE(address, "127.0.0.1");
    EXPECT_EQ(at[2], "Network Provider: Tessaly on this network");
    EXPECT_EQ(at[3], "");

    frmNetworkClients->btnAddClick();
    const auto book = Book();
    EXPECT_NE(std::ranges::find(book, "Lab \x97 Desk <" + address + ">"), book.end());
}

TEST_F(DiscoveryTest, OnlyHostsNotYetInTheBookAreAddedAndEachOnce)
{
    NetNode otherGroup = Workgroup({NetNode::Server("\\\\PC3", "Again")});
    otherGroup.remoteName = "OTHERGROUP";  // containers are told apart by name
    NetNode secondProvider = Network({otherGroup});
    secondProvider.remoteName = "Other Provider";
    Search("Reception <PC1>\r\nStudio <PC2>\r\n",
           Root({Network({Workgroup({NetNode::Server("\\\\PC1", "Same"), NetNode::Server("\\\\pc2", "Lower"),
                                     NetNode::Server("\\\\PC3", "Twice")})}),
                 secondProvider}));
    EXPECT_EQ(Lines().size(), 16u);
    frmNetworkClients->btnAddClick();
    EXPECT_EQ(Book(), (std::vector<std::string>{"Lower <pc2>", "Reception <PC1>", "Studio <PC2>", "Twice <PC3>"}));
}

TEST_F(DiscoveryTest, FailingContainersAreSkippedAndAFailedRootListsNothing)
{
    NetNode locked = Workgroup({NetNode::Server("\\\\HIDDEN")});
    locked.remoteName = "LOCKED";
    locked.openError = ERROR_ACCESS_DENIED;
    NetNode broken = Workgroup({NetNode::Server("\\\\GONE")});
    broken.remoteName = "BROKEN";
    broken.enumError = ERROR_NO_NETWORK;
    // A provider that reports a container inside itself.
    NetNode looped = NetNode::Container("LOOP", RESOURCEDISPLAYTYPE_DOMAIN, {});
    looped.children = {NetNode::Container("LOOP", RESOURCEDISPLAYTYPE_DOMAIN, {})};
    // One that fails after its first batch keeps that batch.
    NetNode cut = Workgroup(
        {NetNode::Server("\\\\READ1"), NetNode::Server("\\\\READ2"), NetNode::Server("\\\\LOST")});
    cut.remoteName = "CUT";
    cut.enumError = ERROR_NO_NETWORK;
    cut.failsAfter = 2;
    ScriptedNetwork& scripted = Search(
        "", Root({Network({locked, broken, looped, cut, Workgroup({NetNode::Server("\\\\PC4", "After")})})}));
    EXPECT_EQ(Lines(), Machines({{"", "READ1"}, {"", "READ2"}, {"After", "PC4"}}));
    EXPECT_EQ(ReadsOf(scripted, "CUT"),
              (std::vector<std::string>{"CUT 16384 -> 2", "CUT 16384 -> error " + std::to_string(ERROR_NO_NETWORK)}));
    // Every handle that was opened was closed, the broken one's too; the
    // loop was followed only so deep.
    EXPECT_EQ(scripted.StillOpen(), 0);
    EXPECT_EQ(scripted.closed, static_cast<int>(scripted.calls.size()) - 1);
    EXPECT_LT(scripted.calls.size(), 30u);

    // "Refresh List" searches again from an empty list.
    NetNode root = Root({});
    root.openError = ERROR_NO_NETWORK;
    Research(root);
    EXPECT_TRUE(Lines().empty());
    frmNetworkClients->Show();
    frmNetworkClients->btnAddClick();
    EXPECT_TRUE(Book().empty());
    EXPECT_FALSE(frmNetworkClients->Visible());
    EXPECT_TRUE(searchWindowShown);
}

TEST_F(DiscoveryTest, AWorkgroupBeyondOneBufferIsReadInBatchesToItsEnd)
{
    std::vector<NetNode> servers;
    for (int i = 0; i < 300; ++i)
        servers.push_back(
            NetNode::Server("\\\\SERVER" + std::to_string(i), "Office machine number " + std::to_string(i)));
    ScriptedNetwork& scripted = Search("", Root({Network({Workgroup(servers)})}));
    // Batches of what fits the first buffer, then the end of the listing.
    const std::vector<std::string> reads = ReadsOf(scripted, "WORKGROUP");
    ASSERT_GE(reads.size(), 3u);
    EXPECT_EQ(reads.back(), "WORKGROUP 16384 -> no more items");
    const std::string batch = "WORKGROUP 16384 -> ";
    int handedOut = 0;
    for (std::size_t i = 0; i + 1 < reads.size(); ++i) {
        ASSERT_EQ(reads[i].rfind(batch, 0), 0u) << reads[i];
        handedOut += std::stoi(reads[i].substr(batch.size()));
    }
    EXPECT_EQ(handedOut, 300);
    EXPECT_TRUE(scripted.cleanAlignedBuffers);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 1200u);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(lines[4 * i + 1], "Host Name and Connection Path: \\\\SERVER" + std::to_string(i));
}

TEST_F(DiscoveryTest, ARecordBeyondTheBufferGrowsItToTheReportedSize)
{
    const std::string longComment(20000, 'c');
    ScriptedNetwork& scripted =
        Search("", Root({Network({Workgroup({NetNode::Server("\\\\PC1"), NetNode::Server("\\\\BIG", longComment),
                                             NetNode::Server("\\\\PC3")})})}));
    const std::vector<std::string> reads = ReadsOf(scripted, "WORKGROUP");
    ASSERT_EQ(reads.size(), 5u);
    EXPECT_EQ(reads[0], "WORKGROUP 16384 -> 1");
    const std::string moreData = "WORKGROUP 16384 -> more data ";
    ASSERT_EQ(reads[1].rfind(moreData, 0), 0u) << reads[1];
    const std::string grown = reads[1].substr(moreData.size());
    EXPECT_GT(std::stoul(grown), 16384u);
    // The grown buffer serves the rest of the listing too.
    EXPECT_EQ(reads[2], "WORKGROUP " + grown + " -> 1");
    EXPECT_EQ(reads[3], "WORKGROUP " + grown + " -> 1");
    EXPECT_EQ(reads[4], "WORKGROUP " + grown + " -> no more items");
    EXPECT_TRUE(scripted.cleanAlignedBuffers);
    EXPECT_EQ(Lines(), Machines({{"", "PC1"}, {longComment, "BIG"}, {"", "PC3"}}));
}
