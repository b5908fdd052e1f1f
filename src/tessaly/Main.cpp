#include "Main.h"

#include "FilePortal.h"
#include "PanelDesigns.h"
#include "RecentDocuments.h"

#include "core/Placement.h"
#include "core/SizeText.h"
#include "winui/Application.h"
#include "winui/Handles.h"
#include "winui/LocaleText.h"
#include "winui/Monitors.h"
#include "winui/SettingsFile.h"

#include <shlobj.h>

using namespace winui;
using larkspan::DocumentCategory;

TForm1* Form1 = nullptr;

namespace {

constexpr const char* noDocumentSelected = "No Document Selected.";

FormDesign WidgetDesign()
{
    FormDesign d;
    d.clientWidth = 178;
    d.clientHeight = 417;
    d.left = 943;
    d.top = 233;
    d.stayOnTop = true;
    d.alpha = 220;
    d.font = FontSpec().Face("MS Sans Serif").Height(-11);
    return d;
}

SpeedButtonDesign GlyphButton(int left, int top, const char* glyph)
{
    SpeedButtonDesign d;
    d.bounds = {left, top, 23, 22};
    d.glyphResource = glyph;
    return d;
}

}  // namespace

TForm1::TForm1() : Form(WidgetDesign())
{
    OnCreate = [this] { FormCreate(); };
    OnShow = [this] { FormShow(); };
    OnActivate = [this] { FormActivate(); };
    OnDestroy = [this] { FormDestroy(); };
    OnMove = [this] { WMMove(); };
}

void TForm1::CreateComponents()
{
    ImageList1.Load("IMAGELIST1", 32, RGB(0x80, 0x80, 0x00));
    ImageList2.Load("IMAGELIST2", 14, RGB(0xFF, 0x00, 0xFF));
    CreatePanels();
    CreateButtons();
    BuildMenu();
}

void TForm1::CreatePanels()
{
    RbPanel3.Create(Handle(), tessaly::TitleBar("Recent Documents"));

    RbPanelDesign list = tessaly::WhitePanel({0, 30, 178, 330});
    list.defaultFrom = clSilver;
    RbPanel2.Create(Handle(), list);

    ListBoxDesign items;
    items.bounds = {4, 5, 170, 320};
    items.sorted = true;
    items.itemHeight = 21;
    items.dragSource = true;  // onto the portal's drop zone
    items.color = clWhite;
    items.font = FontSpec().Face("Arial").Height(-13).Color(clBlack);
    ListBox1.Create(RbPanel2.Handle(), items);
    ListBox1.SetHint(noDocumentSelected);
    ListBox1.OnClick = [this] { ListBox1Click(); };
    ListBox1.OnDblClick = [this] { ListBox1DblClick(); };
    ListBox1.OnKeyDown = [this](WORD& key) { ListBox1KeyDown(key); };
    ListBox1.OnDrawItem = [this](const DrawItemArgs& item) { ListBox1DrawItem(item); };

    RbPanelDesign bar = tessaly::GradientBar({0, 360, 178, 57}, tessaly::barGreenFrom, tessaly::barGreenTo);
    bar.color = RgbHex(0xEBEBEB);
    bar.borderWidth = 2;
    bar.outerColor = RgbHex(0xAE0000);
    bar.font = FontSpec().Height(-13).Bold().Color(clMaroon);
    bar.captionPosition = cpTopLeft;
    RbPanel1.Create(Handle(), bar);

    for (TRbPanel* panel : {&RbPanel3, &RbPanel1}) {
        panel->SetPopupMenu(&PopupMenu1);
        panel->OnMouseDown = [this](MouseButton, int, int) { RbPanel1MouseDown(); };
    }
    ListBox1.SetPopupMenu(&PopupMenu1);
}

void TForm1::CreateButtons()
{
    // Initialised, not assigned: GCC 12 at -O3 reports a false overlap
    // (-Wrestrict) when a one-letter literal is assigned to a std::string.
    const SpeedButtonDesign open{.bounds = {2, 2, 17, 17},
                                 .caption = "<",
                                 .font = FontSpec().Height(-13).Bold().Color(clWhite),
                                 .glyphResource = {},
                                 .hint = "Open File Portal",
                                 .showHint = true};
    SpeedButton1.Create(RbPanel1.Handle(), open);
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };

    const SpeedButtonDesign close{.bounds = {159, 2, 17, 17},
                                  .caption = "X",
                                  .font = FontSpec().Height(-11).Bold().Color(clWhite),
                                  .glyphResource = {},
                                  .hint = "Close",
                                  .showHint = true};
    SpeedButton10.Create(RbPanel1.Handle(), close);
    SpeedButton10.OnClick = [this] { Close1Click(); };

    const HWND bar = RbPanel1.Handle();
    SpeedButton3.Create(bar, GlyphButton(77, 6, "GLYPH_ALL"));
    SpeedButton3.OnClick = [this] { RbButton1Click(); };
    SpeedButton2.Create(bar, GlyphButton(8, 30, "GLYPH_MORVEL"));
    SpeedButton2.OnClick = [this] { MorvelOfficeDocuments1Click(); };
    SpeedButton4.Create(bar, GlyphButton(31, 30, "GLYPH_RICH"));
    SpeedButton4.OnClick = [this] { Documents1Click(); };
    SpeedButton5.Create(bar, GlyphButton(54, 30, "GLYPH_TEXT"));
    SpeedButton5.OnClick = [this] { extDocuments1Click(); };
    SpeedButton7.Create(bar, GlyphButton(77, 30, "GLYPH_SHEET"));
    SpeedButton7.OnClick = [this] { btnSumvexClick(); };
    SpeedButton8.Create(bar, GlyphButton(100, 30, "GLYPH_MUSIC"));
    SpeedButton8.OnClick = [this] { MusicFiles1Click(); };
    SpeedButton9.Create(bar, GlyphButton(123, 30, "GLYPH_MOVIE"));
    SpeedButton9.OnClick = [this] { MovieFiles1Click(); };
    SpeedButton6.Create(bar, GlyphButton(146, 30, "GLYPH_GRAPHIC"));
    SpeedButton6.OnClick = [this] { Graphics1Click(); };
}

void TForm1::BuildMenu()
{
    ListOnly1.SetItems({&Documents1, &extDocuments1, &MorvelOfficeDocuments1, &N5, &Graphics1, &MusicFiles1,
                        &MovieFiles1});
    PopupMenu1.SetItems({&ShowAllDocuments1, &ListOnly1, &N2, &CloseonDocumentOpen1, &N3, &DocumentsProp1,
                         &ClearAllfromList1, &N1, &RefreshContents1, &DefaultPosition1, &N4, &Close1});
    PopupMenu1.SetPainter(&menuDrawing_);
    AddMenu(PopupMenu1);

    ShowAllDocuments1.OnClick = [this] { RefreshContents1Click(); };
    Documents1.OnClick = [this] { Documents1Click(); };
    extDocuments1.OnClick = [this] { extDocuments1Click(); };
    MorvelOfficeDocuments1.OnClick = [this] { MorvelOfficeDocuments1Click(); };
    Graphics1.OnClick = [this] { Graphics1Click(); };
    MusicFiles1.OnClick = [this] { MusicFiles1Click(); };
    MovieFiles1.OnClick = [this] { MovieFiles1Click(); };
    CloseonDocumentOpen1.OnClick = [this] { CloseonDocumentOpen1Click(); };
    DocumentsProp1.OnClick = [this] { DocumentsProp1Click(); };
    ClearAllfromList1.OnClick = [this] { ClearAllfromList1Click(); };
    RefreshContents1.OnClick = [this] { RefreshContents1Click(); };
    DefaultPosition1.OnClick = [this] { FormShow(); };
    Close1.OnClick = [this] { Close1Click(); };
}

// ---- The document catalogue -------------------------------------------------

void TForm1::ScanRecentFolder(const std::string& pattern)
{
    RecentFolderPath = tessaly::LocateRecentFolder(Handle());
    ::SetCurrentDirectoryA(RecentFolderPath.c_str());
    ListBox1.AddAll(tessaly::FindNames(RecentFolderPath + "\\" + pattern));
}

std::string TForm1::ResolveShortcut(const std::string& name)
{
    if (!larkspan::IsShortcutName(name))
        return "NOT a shortuct by extension!";
    return tessaly::ReadShortcutTarget(name);
}

std::string TForm1::DocumentPath(const std::string& item)
{
    if (!larkspan::IsShortcutName(item))
        return item;
    // A shortcut item is a bare name in the recent folder; joining the folder
    // keeps it independent of the process's current directory.
    if (larkspan::IsBareName(item)) {
        if (RecentFolderPath.empty())
            RecentFolderPath = tessaly::LocateRecentFolder(Handle());
        return ResolveShortcut(RecentFolderPath + "\\" + item);
    }
    return ResolveShortcut(item);
}

void TForm1::LoadSiblingLists()
{
    const std::string folder = ProgramFolder();
    ListBox1.Assign(tessaly::ReadListFile(folder + "SumvexFileList.dat"));
    ListBox2 = tessaly::ReadListFile(folder + "QuilloFileList.dat");
    ListBox1.AddAll(ListBox2);
}

void TForm1::SelectFirstItem()
{
    if (ListBox1.Count() > 0)
        ListBox1.SetItemIndex(0);
}

void TForm1::ListAllDocuments()
{
    ListUpdate update(ListBox1);
    LoadSiblingLists();
    ScanRecentFolder("*.lnk");
    SelectFirstItem();
}

void TForm1::RefreshContents1Click()
{
    ListAllDocuments();
}

void TForm1::RbButton1Click()
{
    ListAllDocuments();
}

void TForm1::ShowCategory(DocumentCategory category)
{
    ListBox1.Clear();
    ListUpdate update(ListBox1);
    for (const char* pattern : larkspan::CategoryPatterns(category))
        ScanRecentFolder(pattern);
    SelectFirstItem();
}

void TForm1::Documents1Click() { ShowCategory(DocumentCategory::RichDocuments); }
void TForm1::extDocuments1Click() { ShowCategory(DocumentCategory::TextDocuments); }
void TForm1::Graphics1Click() { ShowCategory(DocumentCategory::GraphicFiles); }
void TForm1::MusicFiles1Click() { ShowCategory(DocumentCategory::MusicFiles); }
void TForm1::MovieFiles1Click() { ShowCategory(DocumentCategory::MovieFiles); }
void TForm1::btnSumvexClick() { ShowCategory(DocumentCategory::SpreadsheetFiles); }

void TForm1::MorvelOfficeDocuments1Click()
{
    ListBox1.Clear();
    ListUpdate update(ListBox1);
    LoadSiblingLists();
    SelectFirstItem();
}

// ---- Window and commands ----------------------------------------------------

void TForm1::FormCreate()
{
    const SettingsFile settings = SettingsFile::Larkspan();
    FirstActivation = true;
    CloseonDocumentOpen1.SetChecked(settings.ReadBool("Recent Documents", "Value", false));
    PortalAddress = settings.ReadString("File Portal Address", "Value", "127.0.0.1");
}

void TForm1::FormShow()
{
    ::ShowWindow(Application::Instance().Handle(), SW_HIDE);
    ProcessMessages();
    ProcessMessages();
    ListUpdate update(ListBox1);
    LoadSiblingLists();
    ProcessMessages();
    ScanRecentFolder("*.lnk");
}

void TForm1::FormActivate()
{
    if (FirstActivation) {
        SelectFirstItem();
        FirstActivation = false;
    }
    const POINT fallback{larkspan::DefaultRightAlignedLeft(::GetSystemMetrics(SM_CXSCREEN), Width()),
                         larkspan::DefaultWidgetTop(::GetSystemMetrics(SM_CYSCREEN))};
    const POINT place = WidgetPosition("Tessaly", fallback, {Width(), Height()});
    MoveTo(place.x, place.y);
    ProcessMessages();
    ListBox1.SetFocus();
}

void TForm1::FormDestroy()
{
    SettingsFile::Larkspan().WritePosition("Tessaly", {Left(), Top()});
}

void TForm1::RbPanel1MouseDown()
{
    DragWithMouse();
}

void TForm1::ListBox1Click()
{
    try {
        const int index = ListBox1.ItemIndex();
        if (index < 0)
            return;
        larkspan::DocumentFacts facts;
        facts.path = DocumentPath(ListBox1.Item(index));
        SelectedDocumentPath = facts.path;

        FileHandle file(::CreateFileA(facts.path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            facts.readable = true;
            BY_HANDLE_FILE_INFORMATION info{};
            FILETIME local{};
            SYSTEMTIME time{};
            if (::GetFileInformationByHandle(file.Get(), &info) &&
                ::FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) && ::FileTimeToSystemTime(&local, &time))
                facts.modified = DateTimeText(time);
            LARGE_INTEGER size{};
            facts.sizeKnown = ::GetFileSizeEx(file.Get(), &size) != FALSE;
            facts.size = static_cast<std::uint64_t>(size.QuadPart);
        }
        ListBox1.SetHint(larkspan::ComposePropertiesText(facts, DecimalSeparator()));
    } catch (const std::exception&) {
        // Selecting never reports an error; the properties text stays as it was.
    }
}

void TForm1::ListBox1DblClick()
{
    try {
        const int index = ListBox1.ItemIndex();
        if (index < 0)
            throw std::runtime_error(noDocumentSelected);
        const std::string item = ListBox1.Item(index);
        Application::Instance().OpenDocument(Handle(), DocumentPath(item));
        ProcessMessages();
        if (CloseonDocumentOpen1.Checked())
            Close();
    } catch (const std::exception&) {
        Application::Instance().MessageBox(MessageKind::Information, noDocumentSelected);
    }
}

void TForm1::ListBox1DrawItem(const DrawItemArgs& item)
{
    tessaly::DrawDocumentItem(item.dc, item.rect, item.selected, ListBox1.Item(item.index), ImageList1,
                              ListBox1.FontHandle());
}

void TForm1::ListBox1KeyDown(WORD& key)
{
    if (key == VK_RETURN && ListBox1.Count() >= 2)
        ListBox1DblClick();
}

void TForm1::DocumentsProp1Click()
{
    Application::Instance().MessageBox(MessageKind::Information, PropertiesText());
}

void TForm1::ClearAllfromList1Click()
{
    Application& app = Application::Instance();
    if (app.MessageBox(MessageKind::Confirmation, "Clear Recent Documents List?", MessageButtons::YesNo) ==
        MessageResult::Yes) {
        ::SHAddToRecentDocs(SHARD_PATHA, nullptr);
        // The shell may leave shortcuts behind; remove them so the message is true.
        const std::string folder = tessaly::LocateRecentFolder(Handle());
        if (!folder.empty() && tessaly::DeleteShortcuts(folder) > 0)
            app.MessageBox(MessageKind::Warning, "Some recent documents could not be removed from the list.");
        else
            app.MessageBox(MessageKind::Information, "Recent Documents List Has Been Cleared.");
    }
    ListAllDocuments();
}

void TForm1::CloseonDocumentOpen1Click()
{
    CloseonDocumentOpen1.SetChecked(!CloseonDocumentOpen1.Checked());
    SettingsFile::Larkspan().WriteBool("Recent Documents", "Value", CloseonDocumentOpen1.Checked());
}

void TForm1::Close1Click()
{
    Close();
}

void TForm1::SpeedButton1Click()
{
    frmFilePortal->MoveTo(Left() - frmFilePortal->Width(), Top());
    frmFilePortal->Show();
}

void TForm1::WMMove()
{
    if (!frmFilePortal || !frmFilePortal->HandleAllocated())
        return;
    ::MoveWindow(frmFilePortal->Handle(), Left() - Width(), Top(), frmFilePortal->Width(), frmFilePortal->Height(),
                 TRUE);
}
