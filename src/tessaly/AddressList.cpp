#include "AddressList.h"

#include "FilePortal.h"
#include "NetWorkClients.h"
#include "OwnerDraw.h"
#include "RecentDocuments.h"
#include "core/AddressEntries.h"

#include "winui/Colors.h"
#include "winui/Application.h"
#include "winui/SettingsFile.h"

#include <algorithm>
#include <stdexcept>

using namespace winui;

TfrmAddressList* frmAddressList = nullptr;

namespace {

FormDesign AddressListDesign()
{
    FormDesign d;
    d.clientWidth = 462;
    d.clientHeight = 341;
    d.centred = true;
    d.font = FontSpec().Face("MS Sans Serif").Height(-10);
    return d;
}

FontSpec HeaderFont()
{
    return FontSpec().Face("MS Sans Serif").Height(-15).Bold().Color(clGray);
}

// The entries of the book file. One that holds NUL bytes (saved as UTF-16,
// say) is not a text of entries: the list would cut each at its first NUL,
// and the cut entries would take the book's place at the end.
std::vector<std::string> ReadEntries(const std::string& path)
{
    std::vector<std::string> entries = tessaly::ReadListFile(path);
    if (std::ranges::any_of(entries, [](const std::string& entry) { return entry.find('\0') != std::string::npos; }))
        throw std::runtime_error("Not a text file: " + path);
    return entries;
}

}  // namespace

TfrmAddressList::TfrmAddressList() : Form(AddressListDesign())
{
    OnCreate = [this] { FormCreate(); };
    OnDestroy = [this] { FormDestroy(); };
    OnActivate = [this] { FormActivate(); };
}

std::string TfrmAddressList::FilePath()
{
    return ProgramFolder() + "IPAddress.dat";
}

void TfrmAddressList::CreateComponents()
{
    XiPanelDesign panel;
    panel.bounds = {0, 0, 462, 341};
    panel.colorScheme = TPanelColorScheme::Silver;
    panel.fillDirection = fdVertical;
    XiPanel1.Create(Handle(), panel);
    const HWND host = XiPanel1.Handle();

    Label1.Create(host, {{21, 5, 73, 16}, "Call Name", HeaderFont()});
    Label3.Create(host, {{214, 5, 184, 16}, "I.P. Address or Host Name", HeaderFont()});
    // Created in their tab order: the focus moves through them in this order.
    const FontSpec field = FontSpec().Face("MS Sans Serif").Height(-13).Color(clBlack);
    edtName.Create(host, {{22, 20, 157, 19}, "", field, clWhite, 20});
    edtIPAdd.Create(host, {{214, 20, 228, 19}, "", field, clWhite, 25});
    ListBoxDesign list;
    list.bounds = {22, 80, 419, 217};
    list.sorted = true;
    list.itemHeight = 35;
    list.color = clWhite;
    list.font = FontSpec().Face("Arial").Height(-16).Color(clBlack);
    ListBox1.Create(host, list);
    CreateButton(btnSend, {22, 309, 61, 20}, "Send To");
    CreateButton(btnExit, {381, 309, 61, 20}, "Close");
    CreateButton(btnAdd, {22, 49, 61, 20}, "Add");
    CreateButton(btnDelete, {118, 49, 61, 20}, "Delete");
    CreateButton(btnWho, {182, 309, 99, 20}, "Who's Online?");

    ImageList1.Load("ADDRESSENTRY", 1, clWhite, 32);

    for (Window* handle : std::initializer_list<Window*>{&XiPanel1, &Label1, &Label3})
        handle->OnMouseDown = [this](MouseButton, int, int) { XiPanel1MouseDown(); };
    edtName.OnKeyDown = [this](WORD& key) { edtNameKeyDown(key); };
    edtIPAdd.OnKeyDown = [this](WORD& key) { edtIPAddKeyDown(key); };
    ListBox1.OnDrawItem = [this](const DrawItemArgs& item) { ListBox1DrawItem(item); };
    ListBox1.OnDblClick = [this] { btnSendClick(); };
    btnSend.OnClick = [this] { btnSendClick(); };
    btnExit.OnClick = [this] { btnExitClick(); };
    btnAdd.OnClick = [this] { btnAddClick(); };
    btnDelete.OnClick = [this] { btnDeleteClick(); };
    btnWho.OnClick = [this] { btnWhoClick(); };
}

void TfrmAddressList::CreateButton(TXiButton& button, const Rect& bounds, const char* caption)
{
    XiButtonDesign design;
    design.bounds = bounds;
    design.caption = caption;
    design.font = FontSpec().Face("MS Sans Serif").Height(-11).Bold();
    design.colorScheme = TColorScheme::NeoSilver;
    button.Create(XiPanel1.Handle(), design);
}

void TfrmAddressList::FormCreate()
{
    try {
        ListBox1.Assign(ReadEntries(FilePath()));
    } catch (const std::exception&) {
        // A file that is there but could not be read (another program held
        // it, or it is not text) is not replaced at the end by what this run
        // knows.
        unreadFile_ = ::GetFileAttributesA(FilePath().c_str()) != INVALID_FILE_ATTRIBUTES;
        Application::Instance().MessageBox(MessageKind::Error, "File [IPAddress.dat] not Found.");
    }
}

void TfrmAddressList::FormDestroy()
{
    if (unreadFile_) {
        if (ListBox1.Count() > 0)
            Application::Instance().MessageBox(MessageKind::Error,
                                               "The address book was not saved: " + FilePath() +
                                                   " could not be read at start and is kept as it is.");
        return;
    }
    // Written beside the old file and then put in its place: a failure
    // leaves the address book as it was, and says so.
    try {
        tessaly::WriteListFile(FilePath(), ListBox1.Items());
    } catch (const std::exception&) {
        Application::Instance().MessageBox(MessageKind::Error,
                                           "The address book could not be saved to " + FilePath() +
                                               ".\r\n\r\nIts entries of this session are lost; the file keeps "
                                               "the entries it had.");
    }
}

void TfrmAddressList::FormActivate()
{
    if (ListBox1.ItemIndex() < 0 && ListBox1.Count() > 0)
        ListBox1.SetItemIndex(0);
}

void TfrmAddressList::btnAddClick()
{
    ListBox1.Add(larkspan::addresses::ComposeEntry(edtName.Text(), edtIPAdd.Text()));
    edtName.SetText("");
    edtIPAdd.SetText("");
    edtName.SetFocus();
}

void TfrmAddressList::btnDeleteClick()
{
    if (Application::Instance().MessageBox(MessageKind::Confirmation, "Delete selected Address?",
                                           MessageButtons::YesNo) == MessageResult::Yes)
        if (const int selected = ListBox1.ItemIndex(); selected >= 0)
            ListBox1.Delete(selected);
    edtName.SetFocus();
}

void TfrmAddressList::btnSendClick()
{
    const int selected = ListBox1.ItemIndex();
    if (selected < 0)
        return;
    try {
        const std::string address = larkspan::addresses::SendToHost(ListBox1.Item(selected));
        if (frmFilePortal)
            frmFilePortal->Edit1.SetText(address);
        Close();
    } catch (const std::exception&) {
        Application::Instance().MessageBox(MessageKind::Warning, "Wrong Address Format.");
    }
}

void TfrmAddressList::btnWhoClick()
{
    if (frmNetworkClients)
        frmNetworkClients->ShowModal();
}

void TfrmAddressList::btnExitClick()
{
    Close();
}

void TfrmAddressList::edtNameKeyDown(WORD& key)
{
    if (key == VK_RETURN)
        edtIPAdd.SetFocus();
}

void TfrmAddressList::edtIPAddKeyDown(WORD& key)
{
    if (key == VK_RETURN)
        btnAddClick();
}

void TfrmAddressList::XiPanel1MouseDown()
{
    DragWithMouse();
}

void TfrmAddressList::ListBox1DrawItem(const DrawItemArgs& item)
{
    tessaly::DrawItemBackground(item.dc, item.rect, item.selected);
    ImageList1.Draw(item.dc, 0, item.rect.left + 6, item.rect.top + 1);
    ScopedSelect font(item.dc, ListBox1.FontHandle());
    ::SetTextColor(item.dc, RGB(0, 0, 0));
    ::SetBkMode(item.dc, TRANSPARENT);
    const std::string entry = ListBox1.Item(item.index);
    ::TextOutA(item.dc, item.rect.left + 45, item.rect.top + 8, entry.c_str(), static_cast<int>(entry.size()));
}
