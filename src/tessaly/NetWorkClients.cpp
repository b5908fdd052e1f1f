#include "NetWorkClients.h"

#include "AddressList.h"
#include "FilePortal.h"
#include "LocalNetwork.h"
#include "NetworkWalk.h"
#include "PageExport.h"
#include "core/AddressEntries.h"

#include "winui/Colors.h"
#include "winui/Window.h"

#include <algorithm>
#include <chrono>

using namespace winui;

TfrmNetworkClients* frmNetworkClients = nullptr;

namespace {

FormDesign NetworkClientsDesign()
{
    FormDesign d;
    d.caption = "Online Network Clients";
    d.border = BorderStyle::Dialog;
    d.clientWidth = 655;
    d.clientHeight = 375;
    d.centred = true;
    d.font = FontSpec().Face("MS Sans Serif").Height(-11);
    return d;
}

// Hides the search window when the search ends, however it ends.
class SearchWindowShown {
public:
    SearchWindowShown()
    {
        ProcessMessages();
        if (frmExport)
            frmExport->Show();
        ProcessMessages();
    }
    SearchWindowShown(const SearchWindowShown&) = delete;
    SearchWindowShown& operator=(const SearchWindowShown&) = delete;
    ~SearchWindowShown()
    {
        if (frmExport)
            frmExport->Close();
        ProcessMessages();
    }
};

// Until `until`, running the messages that arrive meanwhile.
void WaitLettingMessagesRun(std::chrono::steady_clock::time_point until)
{
    for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
        ProcessMessages();
    }
}

const char* TextOr(const char* text)
{
    return text ? text : "";
}

}  // namespace

TfrmNetworkClients::TfrmNetworkClients() : Form(NetworkClientsDesign())
{
    OnShow = [this] { FormShow(); };
}

void TfrmNetworkClients::CreateComponents()
{
    RbPanelDesign panel;
    panel.bounds = {0, 0, 655, 375};
    panel.caption = "Network clients that are currently online:";
    panel.color = clWhite;
    panel.font = FontSpec().Face("Arial").Height(-21).Bold().Color(clBlack);
    panel.captionPosition = cpTopCenter;
    panel.cornerWidth = 25;
    panel.borderWidth = 7;
    panel.borderColor = clSilver;
    panel.outerColor = clSilver;
    panel.textShadowColor = clWhite;
    RbPanel1.Create(Handle(), panel);
    const HWND host = RbPanel1.Handle();

    SpeedButtonDesign refresh;
    refresh.bounds = {536, 10, 23, 22};
    refresh.glyphResource = "GLYPH_REFRESH";
    refresh.hint = "Refresh List";
    refresh.showHint = true;
    SpeedButton1.Create(host, refresh);

    ListBoxDesign list;
    list.bounds = {16, 40, 623, 289};
    list.itemHeight = 19;
    list.font = FontSpec().Face("Arial").Height(-16).Bold().Color(12615680);
    ListBox1.Create(host, list);

    RbButtonDesign add;
    add.bounds = {24, 336, 137, 25};
    add.caption = "Add Host Names to List";
    add.font = FontSpec().Face("MS Sans Serif").Height(-11).Color(clBlack);
    add.textShadow = false;
    add.showFocusRect = false;
    btnAdd.Create(host, add);

    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
    btnAdd.OnClick = [this] { btnAddClick(); };
}

void TfrmNetworkClients::FormShow()
{
    Search();
}

void TfrmNetworkClients::SpeedButton1Click()
{
    Search();
}

void TfrmNetworkClients::Search()
{
    // Messages run throughout: a second search started from them would
    // interleave its machines with this one's, and adding would take a
    // list still being filled.
    if (searching_)
        return;
    searching_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{searching_};

    SearchWindowShown progress;
    ListUpdate update(ListBox1);
    ListBox1.Clear();
    // The Tessaly machines that answer on the local network are asked for
    // first and listed after the platform's, so that both searches overlap.
    MulticastDns* local = frmFilePortal ? frmFilePortal->LocalNetwork.get() : nullptr;
    const auto answersIn = std::chrono::steady_clock::now() + MulticastDns::browseTime;
    if (local)
        local->StartBrowse();
    ListNetworkClients(RESOURCETYPE_DISK, RESOURCEDISPLAYTYPE_SERVER, ListBox1);
    if (local && local->Running()) {
        WaitLettingMessagesRun(answersIn);
        for (const std::string& line : tessaly::FoundLines(local->Found()))
            ListBox1.Add(line);
    }
    ProcessMessages();
}

void TfrmNetworkClients::ListNetworkClients(DWORD resourceType, DWORD displayType, ListBox& target)
{
    NetworkWalk(*net_, [] { ProcessMessages(); }).Walk(resourceType, [&](const NETRESOURCEA& record) {
        if (displayType != 0 && record.dwDisplayType != displayType)
            return;
        target.Add(std::string("Computer Name: ") + TextOr(record.lpComment));
        target.Add(std::string("Host Name and Connection Path: ") + TextOr(record.lpRemoteName));
        target.Add(std::string("Network Provider: ") + TextOr(record.lpProvider));
        target.Add("");
        ProcessMessages();
    });
}

void TfrmNetworkClients::btnAddClick()
{
    if (searching_)
        return;  // the list is still being filled
    std::string callName;
    for (const std::string& line : ListBox1.Items()) {
        if (line.compare(0, 8, "Computer") == 0) {
            const std::size_t colon = line.find(':');
            callName = colon == std::string::npos ? std::string() : line.substr(std::min(colon + 2, line.size()));
        } else if (line.compare(0, 4, "Host") == 0) {
            // A remote name without the two backslashes is taken whole.
            const std::size_t unc = line.find("\\\\");
            const std::size_t colon = line.find(':');
            std::string host;
            if (unc != std::string::npos)
                host = line.substr(unc + 2);
            else if (colon != std::string::npos)
                host = line.substr(std::min(colon + 2, line.size()));
            if (!host.empty() && !IsHostListed(host) && frmAddressList)
                frmAddressList->ListBox1.Add(larkspan::addresses::ComposeEntry(callName, host));
        }
    }
    Close();
}

bool TfrmNetworkClients::IsHostListed(const std::string& host)
{
    if (!frmAddressList)
        return false;
    for (const std::string& entry : frmAddressList->ListBox1.Items())
        if (larkspan::addresses::ListedHost(entry) == host)
            return true;
    return false;
}
