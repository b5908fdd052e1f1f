// The recent-documents widget: its window, its document catalogue and commands.
#pragma once

#include "OwnerDraw.h"

#include "controls/RbPanel.h"
#include "core/DocumentKinds.h"
#include "winui/Form.h"
#include "winui/ImageList.h"
#include "winui/ListBox.h"
#include "winui/PopupMenu.h"
#include "winui/SpeedButton.h"

#include <string>
#include <vector>

class TForm1 final : public winui::Form {
public:
    TForm1();

    // Document-type icons (olive is transparent) and menu icons.
    winui::ImageList ImageList1;
    winui::ImageList ImageList2;

    // Components, in the window's tree.
    TRbPanel RbPanel3;  // title bar
    TRbPanel RbPanel2;  // list panel
    winui::ListBox ListBox1;
    std::vector<std::string> ListBox2;  // scratch list for the second list file
    TRbPanel RbPanel1;                  // button bar
    winui::SpeedButton SpeedButton1, SpeedButton10, SpeedButton3, SpeedButton2, SpeedButton4, SpeedButton5,
        SpeedButton7, SpeedButton8, SpeedButton9, SpeedButton6;

    winui::PopupMenu PopupMenu1;
    winui::MenuItem ShowAllDocuments1{"List All Recent Documents", 3};
    winui::MenuItem ListOnly1{"List Only", 0};
    winui::MenuItem Documents1{"Rich Documents", 8};
    winui::MenuItem extDocuments1{"Text Documents", 1};
    winui::MenuItem MorvelOfficeDocuments1{"Morvel Office Documents", 11};
    winui::MenuItem N5;
    winui::MenuItem Graphics1{"Graphic Files", 7};
    winui::MenuItem MusicFiles1{"Music Files", 9};
    winui::MenuItem MovieFiles1{"Movie Files", 10};
    winui::MenuItem N2;
    winui::MenuItem CloseonDocumentOpen1{"Close on Document Open", 13};
    winui::MenuItem N3;
    winui::MenuItem DocumentsProp1{"Document Properties...", 6};
    winui::MenuItem ClearAllfromList1{"Clear All from List", 5};
    winui::MenuItem N1;
    winui::MenuItem RefreshContents1{"Refresh Contents", 4};
    winui::MenuItem DefaultPosition1{"Default Position", 12};
    winui::MenuItem N4;
    winui::MenuItem Close1{"Close", 2};

    std::string RecentFolderPath;
    bool FirstActivation = false;
    std::string SelectedDocumentPath;
    std::string PortalAddress;

    // The document catalogue.
    void ScanRecentFolder(const std::string& pattern);
    std::string ResolveShortcut(const std::string& name);
    // The document an item stands for: a shortcut item's target, else the text.
    std::string DocumentPath(const std::string& item);
    void ListAllDocuments();
    void RefreshContents1Click();
    void RbButton1Click();
    void Documents1Click();
    void extDocuments1Click();
    void Graphics1Click();
    void MusicFiles1Click();
    void MovieFiles1Click();
    void btnSumvexClick();
    void MorvelOfficeDocuments1Click();

    // Window and commands.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormDestroy();
    void RbPanel1MouseDown();
    void ListBox1Click();
    void ListBox1DblClick();
    void ListBox1KeyDown(WORD& key);
    void DocumentsProp1Click();
    void ClearAllfromList1Click();
    void CloseonDocumentOpen1Click();
    void Close1Click();
    void SpeedButton1Click();
    void WMMove();

    void ListBox1DrawItem(const winui::DrawItemArgs& item);

    // The document properties text, kept in the list's hint.
    const std::string& PropertiesText() const { return ListBox1.Hint(); }

private:
    tessaly::TMenuDrawing menuDrawing_{ImageList2};

    void CreateComponents() override;
    void CreatePanels();
    void CreateButtons();
    void BuildMenu();
    void LoadSiblingLists();
    void ShowCategory(larkspan::DocumentCategory category);
    void SelectFirstItem();
};

extern TForm1* Form1;
