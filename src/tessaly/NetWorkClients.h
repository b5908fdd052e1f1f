// The window that lists the machines the platform's network browsing
// reports, and puts them into the address book.
#pragma once

#include "NetResources.h"

#include "controls/RbButton.h"
#include "controls/RbPanel.h"
#include "winui/Form.h"
#include "winui/ListBox.h"
#include "winui/SpeedButton.h"

#include <memory>
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
    void CreateComponents() override;
    void Search();
    std::unique_ptr<NetResources> net_ = std::make_unique<PlatformNetResources>();
    bool searching_ = false;
};

extern TfrmNetworkClients* frmNetworkClients;
