// The address book of peers: named addresses for the file portal, kept in
// IPAddress.dat in the program folder, read at start and written at the end.
#pragma once

#include "controls/XiButton.h"
#include "controls/XiPanel.h"
#include "winui/Edit.h"
#include "winui/Form.h"
#include "winui/ImageList.h"
#include "winui/Label.h"
#include "winui/ListBox.h"

#include <string>

class TfrmAddressList final : public winui::Form {
public:
    TfrmAddressList();

    TXiPanel XiPanel1;
    winui::Label Label1, Label3;
    winui::Edit edtName, edtIPAdd;
    winui::ListBox ListBox1;  // the entries, "call name <address>", sorted
    TXiButton btnSend, btnExit, btnAdd, btnDelete, btnWho;
    winui::ImageList ImageList1;

    void FormCreate();
    void FormDestroy();
    void FormActivate();
    void btnAddClick();
    void btnDeleteClick();
    void btnSendClick();
    void btnWhoClick();
    void btnExitClick();
    void edtNameKeyDown(WORD& key);
    void edtIPAddKeyDown(WORD& key);
    void XiPanel1MouseDown();
    void ListBox1DrawItem(const winui::DrawItemArgs& item);

    // The file the entries are kept in.
    static std::string FilePath();

private:
    void CreateComponents() override;
    void CreateButton(TXiButton& button, const winui::Rect& bounds, const char* caption);

    bool unreadFile_ = false;  // the file was there at start but could not be read
};

extern TfrmAddressList* frmAddressList;
