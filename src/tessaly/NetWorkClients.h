// The window that lists the machines the platform's network browsing
// reports, and puts them into the address book.
#pragma once

#include "NetResources.h"

#include "controls/RbButton.h"
#include "controls/RbPanel.h"
#include "winui/Form.h"
#include "winui/ListBox.h"
#include "winui/SpeedButton.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TfrmNetworkClients final : public winui::Form {
public:
    TfrmNetworkClients();

    TRbPanel RbPanel1;
    winui::SpeedButton SpeedButton1;
    winui::ListBox ListBox1;  // four lines per machine found
    TRbButton btnAdd;

    void FormShow();
    void SpeedButton1Click();
    void btnAddClick();

    // Appends the machines of the whole network, depth first; a display
    // type of 0 lists every resource.
    void ListNetworkClients(DWORD resourceType, DWORD displayType, winui::ListBox& target);
    // Whether an address-book entry holds exactly `host` between its "<" and ">".
    static bool IsHostListed(const std::string& host);

    // The network enumeration searched; tests put a scripted network here.
    void SetNetResources(std::unique_ptr<NetResources> resources) { net_ = std::move(resources); }

private:
    // One container's listing: NETRESOURCE records at the start of a buffer
    // whose strings the records point into.
    struct Listing {
        std::vector<std::uint64_t> buffer;  // 8-byte units keep the records aligned
        DWORD count = 0;
        const NETRESOURCEA* Records() const { return reinterpret_cast<const NETRESOURCEA*>(buffer.data()); }
    };

    void CreateComponents() override;
    void Search();
    void WalkNetContainer(const NETRESOURCEA* container, DWORD resourceType, DWORD displayType,
                          winui::ListBox& target, int depth);
    std::optional<Listing> ReadNetContainer(DWORD resourceType, const NETRESOURCEA* container);

    std::unique_ptr<NetResources> net_ = std::make_unique<PlatformNetResources>();
    bool searching_ = false;
};

extern TfrmNetworkClients* frmNetworkClients;
