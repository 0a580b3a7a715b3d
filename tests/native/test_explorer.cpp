// The explorer against the sim backend: the tables and arithmetic, each
// dialog mode with its OK and Cancel, the OK action's branches, the listing with its quirks,
// the remembered rows, the modeless window with its notifications, and the compression
// dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "explorer/formats.h"
#include "framework/names.h"
#include "framework/text.h"
#include "tests/native/explorer_test_kit.h"

namespace {

using namespace kv::explorer;
using kv::ModalResult;
using Strings = std::vector<std::string>;

// ---- tables and arithmetic -------------------------------------------------------------------

TEST(ExplorerFormats, MaskWalkTakesFiveCharactersAndDropsSix) {
    EXPECT_EQ(maskWalk("*.bmp;*.dib"), (Strings{"*.bmp", "*.dib"}));
    EXPECT_EQ(maskWalk("*.*"), (Strings{"*.???"}));
    EXPECT_EQ(maskWalk("*.avl"), (Strings{"*.avl"}));
    // "*.rs" is not of the form "*." + three characters: what is left is too short to search.
    EXPECT_EQ(maskWalk("*.ras;*.rs"), (Strings{"*.ras"}));
    EXPECT_EQ(maskWalk(browseMask(1)).size(), 19u);
    EXPECT_EQ(maskWalk("\\\\\\"), Strings{});
}

TEST(ExplorerFormats, FilterRowsAndTheirMasks) {
    ASSERT_EQ(browseFilters().size(), 27u);
    EXPECT_STREQ(browseFilters()[5].text, "AVL (AV List Slideshow)");
    EXPECT_EQ(browseMask(6), "*.bmp;*.dib");
    EXPECT_EQ(browseMask(-1), "*.*");
    EXPECT_EQ(browseMask(27), "*.*");
    EXPECT_EQ(saveMask("BMP Windows BitMaP"), "*.BMP");
    EXPECT_EQ(saveMask("Lead \"JPEG\" [gray]"), "*.Lea");
}

TEST(ExplorerFormats, FormatListsPerDepthAndOptionAndTheWindowArithmetic) {
    EXPECT_EQ(formatRows(24, 0).size(), 15u);
    EXPECT_EQ(formatRows(24, 0)[5].label, "JPG JPEG/JFIF(Enhanced)");
    EXPECT_EQ(formatRows(24, 0)[5].code, 99);
    EXPECT_EQ(formatRows(24, 1)[3].label, "JPG JPEG/JFIF(Enhanced)");
    EXPECT_EQ(formatRows(24, 2)[3].label, "JPG JPEG/JFIF(Extended)");
    EXPECT_EQ(formatRows(24, 2)[3].code, 88);
    EXPECT_EQ(formatRows(16, 0)[2].code, 99);
    EXPECT_EQ(formatRows(16, 1)[0].label, "JPG JPEG/JFIF(Enhanced)");
    EXPECT_EQ(formatRows(8, 1).size(), 12u);
    EXPECT_EQ(formatRows(8, 1)[7].label, "PNG Portable Network Graphics");
    EXPECT_EQ(formatRows(8, 0).size(), 14u);
    EXPECT_EQ(formatRows(8, 0)[9].label, "PNG Portable Network Graphics");
    EXPECT_EQ(formatRows(8, 0)[3].code, -10);
    EXPECT_EQ(formatRows(4, 0).size(), 6u);
    EXPECT_EQ(formatRows(1, 0)[12].label, "TIF Aldus TIFF G4");
    EXPECT_EQ(formatRows(1, 0)[12].code, 27);
    EXPECT_TRUE(formatRows(2, 0).empty());
    EXPECT_EQ(forcedRow(24), 3);
    EXPECT_EQ(forcedRow(16), 0);
    EXPECT_EQ(forcedRow(8), 7);
    EXPECT_EQ(forcedRow(4), -1);
    EXPECT_TRUE(compressible(-10));
    EXPECT_TRUE(compressible(0));
    EXPECT_TRUE(compressible(88));
    EXPECT_FALSE(compressible(37));
    EXPECT_FALSE(compressible(87));
    EXPECT_FALSE(compressible(7));
    // Columns, the default size and the remembered rectangle's screen check.
    EXPECT_EQ(columnWidth(20, 40), 80);
    EXPECT_EQ(columnCount(403, 80), 5);
    EXPECT_EQ(columnCount(50, 80), 1);
    int w = 0, h = 0;
    defaultSize(640, 480, w, h);
    EXPECT_EQ((std::pair{w, h}), (std::pair{400, 300}));
    defaultSize(1024, 768, w, h);
    EXPECT_EQ((std::pair{w, h}), (std::pair{512, 384}));
    // Ending at the edge, or one pixel beyond: Explorer.RememberedRectangleIsUsedOnlyWhenItFits.
    EXPECT_FALSE(rectangleFits(469, 0, 400, 300, 1024, 768));
    EXPECT_FALSE(rectangleFits(-1, 0, 400, 300, 1024, 768));
}

// ---- the dialog ----------------------------------------------------------------------------

class Explorer : public explorer_test::ExplorerTest {
protected:
    Explorer()
        : ExplorerTest("c:\\Photos\\", {"Beach.BMP", "Holiday picture.bmp", "notes.txt", "show.avl", "Windows\\x.bmp",
                                        "Sub\\y.bmp"}) {}
    void SetUp() override {
        ExplorerTest::SetUp();
        set("SavePath", "c:\\Photos\\");
    }
};

struct Seen {
    std::string caption, labelList, btnOK, btnExit, filter;
    bool editVisible = false, editReadOnly = false, filterEnabled = false, filterVisible = false, multi = false,
         jpeg = false, bpp = false, mark = false;
    uint32_t editColor = 0;
    Strings entries;
};

// A window's left, top, width and height.
std::vector<int> bounds(const TFileForm& f) { return {f.left(), f.top(), f.width(), f.height()}; }

Seen look(TFileForm& f) {
    Seen s;
    s.caption = f.caption();
    s.labelList = f.LabelList->caption();
    s.btnOK = f.BtnOK->caption();
    s.btnExit = f.BtnExit->caption();
    s.filter = f.FilterComboBox1->text();
    s.editVisible = f.Edit1->visible();
    s.editReadOnly = f.Edit1->readOnly();
    s.editColor = f.Edit1->color();
    s.filterEnabled = f.FilterComboBox1->enabled();
    s.filterVisible = f.FilterComboBox1->visible();
    s.multi = f.XFiles->multiSelect();
    s.jpeg = f.BtnJPEG->visible();
    s.bpp = f.BPPtype->visible();
    s.mark = f.MarkDirectory->visible();
    for (const auto& it : f.XFiles->items()) s.entries.push_back(it.text);
    return s;
}

TEST_F(Explorer, EveryModeOpensAsTheTableSaysAndCancelReturnsMinusOne) {
    struct Case {
        int32_t mode, option;
        const char* caption;
        bool editVisible, readOnly;
        const char* filter;
        bool filterEnabled, multi;
        uint32_t editColor;  // the name box's colour, for the open modes
    };
    const Case cases[] = {
        {0, 0, "Save File", true, false, "AVL (AV List Slideshow)", false, false},
        {0, 1, "Save Contact Sheet as", true, false, "BMP,DIB (Windows,OS/2)", false, false},
        {24, 0, "Save File", true, false, "JPG JPEG/JFIF(Enhanced)", true, false},
        {8, 1, "Save Contact Sheet as", true, false, "PNG Portable Network Graphics", true, false},
        {102, 0, "Move File to", false, true, "", true, false},
        {124, 0, "Convert Multiple Files", false, true, "JPG JPEG/JFIF(Enhanced)", true, false},
        {252, 0, "Open File for Tiling or Texture", true, true, "All graphics formats", false, false, kv::SysColor(kv::syscolor::BtnFace)},
        {253, 0, "Add Multiple Slides", true, true, "All validated formats", true, true, kv::SysColor(kv::syscolor::Highlight)},
        {254, 0, "Open Slideshow", true, false, "AVL (AV List Slideshow)", false, false, kv::SysColor(kv::syscolor::Window)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Seen s;
        int32_t r = browse(c.mode, c.option, [&](TFileForm& f) { s = look(f); });
        EXPECT_EQ(r, -1);
        EXPECT_EQ(s.caption, c.caption);
        EXPECT_EQ(s.btnExit, "Cancel");
        EXPECT_EQ(s.editVisible, c.editVisible);
        if (c.editVisible) EXPECT_EQ(s.editReadOnly, c.readOnly);
        EXPECT_EQ(s.filter, c.filter);
        if (c.mode != 102) EXPECT_EQ(s.filterEnabled, c.filterEnabled);
        EXPECT_EQ(s.multi, c.multi);
        EXPECT_EQ(s.labelList, c.mode >= 252 ? "Look &in:" : "Save &in");
        EXPECT_EQ(s.bpp, c.mode == 124);
        EXPECT_EQ(s.mark, c.mode == 253);
        if (c.mode >= 252) EXPECT_EQ(s.editColor, c.editColor);
        EXPECT_EQ(state().form, nullptr);
        EXPECT_FALSE(state().open);
        EXPECT_EQ(key("LastDir"), "c:\\Photos\\");
    }
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Default);
}

TEST_F(Explorer, ListingPutsFoldersFirstInLowerCaseHonoursTheMaskAndItsMenus) {
    sim.fs.setAttributes("c:\\Photos\\notes.txt", true, false);
    sim.writeFile("c:\\Photos\\io.sys");
    sim.fs.setAttributes("c:\\Photos\\io.sys", false, true);
    sim.writeFile("c:\\Photos\\long.jpeg");
    Seen any, bmp, asTyped;
    bool up = false;
    browse(253, 0, [&](TFileForm& f) {
        f.FilterComboBox1->select(0);  // *.* any file
        any = look(f);
        up = f.BtnUp->enabled();
        f.FilterComboBox1->select(6);  // BMP,DIB
        bmp = look(f);
        f.mnuLowercase->click();
        f.mnuFoldersAfter->click();
        f.FilterComboBox1->select(0);
        f.FilterComboBox1->select(6);
        asTyped = look(f);
    });
    // Hidden files are listed, system files are not. "*.*" searches "*.???", which the
    // platform also matches against 8.3 aliases: long.jpeg is found by LONG~1.JPE.
    EXPECT_EQ(any.entries, (Strings{"sub\\", "windows\\", "beach.bmp", "holiday picture.bmp", "long.jpeg", "notes.txt",
                                    "show.avl"}));
    EXPECT_EQ(bmp.entries, (Strings{"sub\\", "windows\\", "beach.bmp", "holiday picture.bmp"}));
    EXPECT_TRUE(up);
    EXPECT_EQ(asTyped.entries, (Strings{"Beach.BMP", "Holiday picture.bmp", "sub\\", "windows\\"}));
}

TEST_F(Explorer, FoldersOpenByDoubleClickUpOneLevelAndTheLookBoxWhileAnUnreadyDriveGoesBackToC) {
    sim.fs.mapDrive('a', sim.root() + "/floppy");
    sim.fs.setDriveReady('a', false);
    sim.user.answer("Drive A: not ready.", ModalResult::OK);
    std::string opened, cwd, up, notReady;
    Seen s;
    Strings items;
    browse(253, 0, [&](TFileForm& f) {
        f.XFiles->dblClickItem(rowOf(f, "sub\\"));
        opened = f.currentFolder();
        cwd = sim.fs.currentDirectory();
        s = look(f);
        f.ChangeDirectory("c:\\Photos\\Sub");
        items = f.LookBox->items();
        f.BtnUp->click();
        up = f.currentFolder();
        f.LookBox->select(0);  // a:
        notReady = f.currentFolder();
    });
    // The start folder is LastDir in its long form, where a name that is its own 8.3 name is
    // lower case (GetLongPath); folder entries are lower case too.
    EXPECT_EQ(opened, "c:\\photos\\sub");
    EXPECT_EQ(s.entries, (Strings{"y.bmp"}));
    EXPECT_EQ(cwd, "C:\\photos\\sub");
    EXPECT_EQ(items, (Strings{"a:", "c:", " \\Photos", "  \\Sub"}));
    EXPECT_EQ(up, "c:\\Photos");
    EXPECT_EQ(notReady, "c:\\");
    EXPECT_EQ(sim.fs.currentDirectory(), "C:\\");

    // At the drive's root there is no "Up One Level".
    set("LastDir", "c:\\");
    bool canGoUp = true;
    std::string first;
    browse(253, 0, [&](TFileForm& f) {
        canGoUp = f.BtnUp->enabled() || f.mnuFLevel->enabled();
        first = f.LookBox->text();
    });
    EXPECT_FALSE(canGoUp);
    EXPECT_EQ(first, "c:");
}

// ---- the OK action -----------------------------------------------------------------------------

TEST_F(Explorer, SavesWithoutANameOrIntoAFolderThatRefusesWritesKeepTheDialogOpen) {
    // An empty name and no selection: OK does nothing.
    set("LastDir", "c:\\");
    set("SavePath", "c:\\Empty");
    sim.fs.createDirectory("c:\\Empty");
    int oks = 0;
    int32_t r = browse(0, 0, [&](TFileForm& f) {
        f.Edit1->setText("");
        f.BtnOK->click();
        oks += f.modalResult() == ModalResult::OK;
    });
    EXPECT_EQ(r, -1);
    EXPECT_EQ(oks, 0);
    // A folder that refuses writes: "Access denied.", and the dialog stays.
    set("LastDir", "c:\\Photos\\");
    set("SavePath", "c:\\Photos\\");
    sim.fs.setReadOnly("c:\\Photos", true);
    sim.user.answer("Access denied.", ModalResult::OK);
    r = browse(0, 0, [&](TFileForm& f) {
        f.Edit1->setText("new.avl");
        f.BtnOK->click();
        oks += f.modalResult() == ModalResult::OK;
    });
    EXPECT_EQ(r, -1);
    EXPECT_EQ(oks, 0);
    EXPECT_EQ(sim.user.dialogs.size(), 1u);
}

TEST_F(Explorer, OverwriteAnsweredNoLeavesTheFileAndYesKeepsItForTheHost) {
    sim.user.answer("show.avl\nin use.  Overwrite?", ModalResult::No);
    int32_t r = browse(0, 0, [&](TFileForm& f) {
        f.Edit1->setText("show.avl");
        f.BtnOK->click();
        EXPECT_EQ(f.modalResult(), ModalResult::None);
    });
    EXPECT_EQ(r, -1);
    EXPECT_EQ(sim.readFile("c:\\Photos\\show.avl"), "x");

    // Files of the user's under names like the probe's stay as they are.
    sim.writeFile("c:\\Photos\\~kvprobe.tmp", "mine");
    for (uint32_t i = 1; i <= 20; ++i) sim.writeFile("c:\\Photos\\~kvp" + kv::hexText(i) + ".tmp", "mine");
    auto names = [&] {
        Strings n;
        for (const kv::DirEntry& e : sim.fs.list("c:\\Photos", "*.*"))
            n.push_back(e.longName + "=" + sim.readFile("c:\\Photos\\" + e.longName));
        return n;
    };
    const Strings namesBefore = names();
    sim.user.answer("show.avl\nin use.  Overwrite?", ModalResult::Yes);
    r = dialog(0, 0, [&](TFileForm& f) {
        f.Edit1->setText("show.avl");
        f.BtnOK->click();
    });
    EXPECT_EQ(r, 0);
    // Sound behaviour: the file the user agreed to replace is still there until the host
    // writes it; only a probe beside it was written and deleted.
    EXPECT_EQ(sim.readFile("c:\\Photos\\show.avl"), "x");
    EXPECT_EQ(names(), namesBefore);
    EXPECT_EQ(key("Savename"), "c:\\Photos\\show.avl");
}

TEST_F(Explorer, OpenSlideshowFindsTheFileOrSaysFileNotFoundAndTilingTakesTheClickedFile) {
    sim.user.answer("File not found.", ModalResult::OK);
    int32_t r = dialog(254, 0, [&](TFileForm& f) {
        f.Edit1->setText("missing");
        f.BtnOK->click();
        EXPECT_EQ(f.modalResult(), ModalResult::None);
        f.Edit1->setText("show");
        f.BtnOK->click();
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(key("Savename"), "c:\\Photos\\show.avl");
    EXPECT_EQ(key("LongName"), "show.AVL");
    // Opening for tiling takes the clicked file.
    r = dialog(252, 0, [&](TFileForm& f) {
        f.XFiles->clickItem(rowOf(f, "holiday picture.bmp"));
        EXPECT_EQ(f.Edit1->text(), "holiday picture.bmp");
        f.BtnOK->click();
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(key("LongName"), "holiday picture.bmp");
    EXPECT_EQ(key("Savename"), kv::GetShortPath("c:\\Photos\\Holiday picture.bmp"));
}

TEST_F(Explorer, AddSlidesWritesTheSelectionListWithoutFolders) {
    int32_t r = dialog(253, 0, [&](TFileForm& f) {
        f.FilterComboBox1->select(0);
        f.XFiles->clickItem(rowOf(f, "sub\\"));
        f.XFiles->clickItem(rowOf(f, "beach.bmp"), kv::CtrlKey);
        f.XFiles->clickItem(rowOf(f, "holiday picture.bmp"), kv::CtrlKey);
        f.BtnOK->click();
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(list("Directory", "Files"), "2");
    EXPECT_EQ(list("1", "F"), "Beach.BMP");
    EXPECT_EQ(list("2", "F"), "HOLIDA~1.BMP");
    EXPECT_EQ(list("Directory", "Name"), "c:\\Photos\\");
}

TEST_F(Explorer, EnterOnAFolderOpensItAndRefuses) {
    // (In the add-slides mode the selection list is written first, which deselects folders:
    // there Enter on a folder does nothing and double-click opens it.)
    std::string folder;
    int32_t r = browse(252, 0, [&](TFileForm& f) {
        f.XFiles->clickItem(rowOf(f, "windows\\"));
        press(f, kv::vk::Return);
        folder = f.currentFolder();
        EXPECT_EQ(f.modalResult(), ModalResult::None);
    });
    EXPECT_EQ(r, -1);
    EXPECT_EQ(folder, "c:\\photos\\windows");
}

TEST_F(Explorer, MoveWritesTheFolderAndTheLongNameOfSaveAsAndConvertThePlaceholder) {
    set("SaveAs", "c:\\PHOTOS\\HOLIDA~1.BMP");
    std::string label;
    kv::explorer::ExplorerState seen;
    int32_t r = dialog(102, 0, [&](TFileForm& f) {
        seen = f.explorerState();
        label = f.LabelName->caption();
        f.ChangeDirectory("c:\\Photos\\Sub");
        f.BtnOK->click();
    });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(label, "File: c:\\PHOTOS\\HOLIDA~1.BMP");
    EXPECT_EQ(key("Savename"), "c:\\Photos\\Sub\\Holiday picture.bmp");
    EXPECT_EQ(seen.mode, 2);
    EXPECT_TRUE(seen.convert);
    // Convert stores the placeholder with the row's extension.
    set("Save24", "0");
    r = dialog(124, 0, [&](TFileForm& f) { f.BtnOK->click(); });
    EXPECT_EQ(r, 7);
    EXPECT_EQ(key("LongName"), "~(_)(_)~.BMP");
    EXPECT_EQ(key("SaveExt"), ".BMP");
    EXPECT_EQ(key("MultiBPP"), "24");
    EXPECT_EQ(key("Save24"), "0");
    EXPECT_EQ(key("Savename").substr(0, 10), "c:\\Photos\\");
    EXPECT_FALSE(sim.fs.exists("c:\\Photos\\~(_)(_)~.BMP"));
}

// ---- save options ---------------------------------------------------------------------------

TEST_F(Explorer, SavesCompleteTheNameByTheRowAndWriteTheKeysAndTheRowsCode) {
    using Keys = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        int32_t mode, option;
        Keys before;
        int row;  // the row the user picks, -1: the one the dialog opens on
        const char* name;
        const char* opensOn;
        bool jpeg;
        int32_t result;
        Keys after;
    };
    const Case cases[] = {
        {0, 0, {{"SaveAs", ""}}, -1, "My show", "AVL (AV List Slideshow)", false, 0,
         {{"LongName", "My show.AVL"}, {"Savename", "c:\\Photos\\MYSHOW~1.AVL"}, {"SavePath", "c:\\Photos\\"},
          {"SaveExt", ".AVL"}, {"MultiBPP", "<none>"}}},
        {24, 0, {}, -1, "picture", "JPG JPEG/JFIF(Enhanced)", true, 99,
         {{"Save24", "5"}, {"MultiBPP", "24"}, {"SaveExt", ".JPG"}, {"LongName", "picture.JPG"}}},
        {24, 0, {{"Save24", "0"}}, -1, "holiday", "BMP Windows BitMaP", false, 7,
         {{"LongName", "holiday.BMP"}, {"SaveExt", ".BMP"}}},
        {1, 0, {}, 12, "fax", nullptr, false, 27, {{"Save1", "12"}}},
        // The contact sheet's row is forced whatever was remembered.
        {8, 1, {{"Save8", "2"}}, -1, "sheet", "PNG Portable Network Graphics", false, 37, {{"Save8", "7"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [k, v] : c.before) set(k, v);
        std::string opensOn;
        bool jpeg = false;
        int32_t r = dialog(c.mode, c.option, [&](TFileForm& f) {
            opensOn = f.FilterComboBox1->text();
            jpeg = f.BtnJPEG->visible();
            if (c.row >= 0) f.FilterComboBox1->select(c.row);
            f.Edit1->setText(c.name);
            f.BtnOK->click();
        });
        EXPECT_EQ(r, c.result);
        if (c.opensOn) EXPECT_EQ(opensOn, c.opensOn);
        EXPECT_EQ(jpeg, c.jpeg);
        for (const auto& [k, v] : c.after) EXPECT_EQ(key(k), v) << k;
    }
    // The placeholder keeps the long name for whoever writes to the short one.
    EXPECT_EQ(sim.fs.findEntry("c:\\Photos\\MYSHOW~1.AVL")->longName, "My show.AVL");
    // The one-bit dialog opens again on the row it remembered.
    std::string row;
    browse(1, 0, [&](TFileForm& f) { row = f.FilterComboBox1->text(); });
    EXPECT_EQ(row, "TIF Aldus TIFF G4");
}

TEST_F(Explorer, DepthBoxSwitchesTheListAndTheJpegButtonFollowsTheRow_ItWritesTheCompressionKeysUnlessCancelled) {
    bool jpegBefore = false, jpegAfter = true, jpegGray = false;
    std::string row;
    browse(124, 0, [&](TFileForm& f) {
        jpegBefore = f.BtnJPEG->visible();
        f.BPPtype->select(2);  // 256 colours
        row = f.FilterComboBox1->text();
        jpegAfter = f.BtnJPEG->visible();
        f.FilterComboBox1->select(3);  // Lead "JPEG" [gray]
        jpegGray = f.BtnJPEG->visible();
    });
    EXPECT_TRUE(jpegBefore);
    EXPECT_EQ(row, "PNG Portable Network Graphics");
    EXPECT_FALSE(jpegAfter);
    EXPECT_TRUE(jpegGray);

    // The button writes the compression keys unless the dialog is cancelled.
    std::vector<int32_t> codes;
    kv::dialogs::setCompressionHandler([&](int32_t code, kv::dialogs::CompressionValues& v) {
        codes.push_back(code);
        v = {1, 20, 30, 0};
        return codes.size() == 2;
    });
    browse(24, 0, [&](TFileForm& f) {
        f.BtnJPEG->click();
        EXPECT_EQ(key("SaveJPG"), "<none>");
        f.BtnJPEG->click();
    });
    EXPECT_EQ(codes, (std::vector<int32_t>{99, 99}));
    for (auto [k, v] : {std::pair{"SaveYUV", "1"}, {"SaveJPG", "20"}, {"SavePIC", "30"}, {"SaveCMP", "0"}})
        EXPECT_EQ(key(k), v) << k;
}

TEST_F(Explorer, HelpContextsAndSaveModeCaptions) {
    std::string okEmpty, okNamed;
    browse(0, 0, [&](TFileForm& f) {
        f.BtnHelp->click();
        f.Edit1->setText("");
        okEmpty = f.BtnOK->caption();
        f.Edit1->setText("a");
        okNamed = f.BtnOK->caption();
    });
    browse(254, 0, [&](TFileForm& f) { press(f, kv::vk::F1); });
    ASSERT_EQ(sim.system.helpCalls.size(), 2u);
    EXPECT_EQ(sim.system.helpCalls[0], (std::pair<std::string, int>{"KAVRIN.HLP", 101}));
    EXPECT_EQ(sim.system.helpCalls[1], (std::pair<std::string, int>{"KAVRIN.HLP", 100}));
    EXPECT_EQ(okEmpty, "&Open");
    EXPECT_EQ(okNamed, "&Save");
}

TEST_F(Explorer, TabCyclesThroughTheFiveControls) {
    std::vector<std::string> seen;
    browse(253, 0, [&](TFileForm& f) {
        f.LookBox->setFocus();
        for (int i = 0; i < 5; ++i) {
            int k = kv::vk::Tab;
            kv::Control* c = sim.user.focused;
            c->keyDown(k, 0);
            seen.push_back(sim.user.focused->name());
        }
        int k = kv::vk::Tab;
        sim.user.focused->keyDown(k, kv::ShiftKey);
        seen.push_back(sim.user.focused->name());
    });
    EXPECT_EQ(seen, (Strings{"XFiles", "FilterComboBox1", "BtnOK", "BtnExit", "LookBox", "BtnExit"}));
}

TEST_F(Explorer, LabelsLettersReachTheirBoxesAndTabVisitsAnEditableNameBox) {
    // From every control that can have the focus: Alt+N the name box, Alt+I the drive/folder
    // box, Alt+T nothing while the filter box is disabled (mode 0 and 254), the filter box
    // where it is enabled (253). Tab goes from the list to the name box where it takes a name.
    for (int32_t mode : {0, 254, 253}) {
        SCOPED_TRACE(mode);
        Strings seen, expected;
        browse(mode, 0, [&](TFileForm& f) {
            for (kv::Control* from : std::initializer_list<kv::Control*>{f.LookBox, f.XFiles, f.Edit1, f.FilterComboBox1,
                                                                          f.BtnOK, f.BtnExit}) {
                if (!from->enabled()) continue;
                for (char letter : {'n', 'T', 'i'}) {
                    from->setFocus();
                    const bool moved = f.labelKey(letter);
                    seen.push_back(std::string(1, letter) + (moved ? sim.user.focused->name() : "-"));
                }
                expected.insert(expected.end(), {"nEdit1", mode == 253 ? "TFilterComboBox1" : "T-", "iLookBox"});
            }
            f.XFiles->setFocus();
            int k = kv::vk::Tab;
            f.XFiles->keyDown(k, 0);
            seen.push_back(sim.user.focused->name());
            expected.push_back(mode == 253 ? "FilterComboBox1" : "Edit1");
        });
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(Explorer, ColumnsFollowTheWidestEntry) {
    int cols = 0, w = 0;
    browse(253, 0, [&](TFileForm& f) {
        f.XFiles->setWidth(403);
        f.CalcStringWidth();
        cols = f.XFiles->columns();
        w = f.explorerState().columnWidth;
        f.mnuSingleColumn->click();
        EXPECT_EQ(f.XFiles->columns(), 0);
        EXPECT_FALSE(f.mnuOptimizeWin->enabled());
    });
    // sim text: 6 pixels a character; "holiday picture.bmp" is 114 wide, "WW" 12.
    EXPECT_EQ(w, 12 + 114);
    EXPECT_EQ(cols, 403 / 126);
}

TEST_F(Explorer, PreviewModeSaysSoAndFontDialogIsLimited) {
    sim.user.answer("Preview mode enabled.", ModalResult::OK);
    sim.user.fontAnswer = [](kv::Font& f) {
        f.name = "Arial";
        f.size = 12;
        return true;
    };
    std::string font;
    browse(253, 0, [&](TFileForm& f) {
        f.mnuPreviewMode->click();
        f.mnuFont->click();
        font = f.XFiles->font().name + " " + std::to_string(f.XFiles->font().size);
    });
    EXPECT_EQ(font, "Arial 12");
    ASSERT_EQ(sim.user.fontDialogs.size(), 1u);
    EXPECT_EQ(sim.user.fontDialogs[0].minSize, 6);
    EXPECT_EQ(sim.user.fontDialogs[0].maxSize, 14);
}

// ---- the window ----------------------------------------------------------------------------

TEST_F(Explorer, WindowOpensCentredAtItsDefaultSizeAndClosesSavingItsState) {
    TFileForm& f = openWindow();
    ASSERT_EQ(state().form, &f);
    EXPECT_TRUE(state().open);
    EXPECT_EQ(bounds(f), (std::vector<int>{256, 192, 512, 384}));
    EXPECT_EQ(f.caption(), "Kavrin Explorer");
    EXPECT_EQ(f.FilterComboBox1->text(), "All validated formats");
    EXPECT_EQ(sim.user.shownForms, Strings{"FileForm"});
    kv::entry::RemoteWinClose95();
    EXPECT_EQ(state().form, nullptr);
    EXPECT_FALSE(state().open);
    EXPECT_EQ(key("bWinL"), "256");
    EXPECT_EQ(key("bWinW"), "512");
    EXPECT_EQ(key("LastDir"), "c:\\Photos\\");
}

TEST_F(Explorer, RememberedRectangleIsUsedOnlyWhenItFits) {
    set("bWinT", "100");
    set("bWinL", "624");
    set("bWinW", "400");
    set("bWinH", "300");
    EXPECT_EQ(bounds(openWindow(1)), (std::vector<int>{624, 100, 400, 300}));
    closeWindow();
    set("bWinL", "625");
    set("bWinW", "400");
    EXPECT_EQ(bounds(openWindow(1)), (std::vector<int>{333, 231, 413, 310}));
    closeWindow();
    // Values whose sum passes the integer range, a size below zero or a rectangle wholly
    // left of the screen fit no screen.
    for (auto [l, w] : {std::pair{"2147483000", "1000"}, {"0", "-2147483000"}, {"-2147483000", "100"}}) {
        set("bWinT", "100");
        set("bWinH", "300");
        set("bWinL", l);
        set("bWinW", w);
        EXPECT_EQ(bounds(openWindow(1)), (std::vector<int>{333, 231, 413, 310})) << l << " " << w;
        closeWindow();
    }
    set("bWinL", "0");
    set("bWinW", "400");
    set("bWinT", "2147483000");
    set("bWinH", "1000");
    EXPECT_EQ(bounds(openWindow(1)), (std::vector<int>{333, 231, 413, 310}));
}

TEST_F(Explorer, WindowNotifiesTheHostHidesShowsAgainFollowsTheHostsUpdateAndClosesOnEsc) {
    TFileForm& f = openWindow();
    // The library's own dialogs run while the window is open, cancelled and confirmed (in
    // another folder), and leave the window's state as they found it: all below still holds.
    const kv::explorer::ExplorerState before = state();
    browse(253, 0, [](TFileForm&) {});
    EXPECT_EQ(dialog(252, 0, [](TFileForm& d) {
        d.ChangeDirectory("c:\\Photos\\Sub");
        d.Edit1->setText("y.bmp");
        d.BtnOK->click();
    }), 0);
    EXPECT_TRUE(state() == before);
    EXPECT_EQ(f.currentFolder(), "c:\\photos");
    f.XFiles->setFocus();  // the user is back in the window
    f.XFiles->clickItem(rowOf(f, "holiday picture.bmp"));
    press(f, kv::vk::Return);
    EXPECT_EQ(key("Win95file"), kv::GetShortPath("c:\\Photos\\Holiday picture.bmp"));
    EXPECT_EQ(key("LongName"), "holiday picture.bmp");
    f.XFiles->clickItem(rowOf(f, "beach.bmp"), kv::CtrlKey);
    press(f, kv::vk::Return);
    EXPECT_EQ(list("Directory", "Files"), "2");
    kv::WindowHook::beforeMessage(f, kv::wm::Activate, 1);
    kv::WindowHook::beforeMessage(f, kv::wm::Activate, 0);
    ASSERT_EQ(sim.host.sent.size(), 3u);
    EXPECT_EQ(sim.host.sent[0].msg, 0x911u);
    EXPECT_EQ(sim.host.sent[0].lparam, 0x909);
    EXPECT_EQ(sim.host.sent[0].window, 0x1234u);
    EXPECT_EQ(sim.host.sent[1].lparam, 0x910);
    EXPECT_EQ(sim.host.sent[2].lparam, 17);
    kv::entry::RemoteWinHide95();
    EXPECT_FALSE(f.visible());
    kv::entry::RemoteWin95(0x1234, 0);  // shows it again; no second window
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(state().form, &f);

    // The host's update selects the row before the current one, but not above the first.
    f.XFiles->clickItem(3);
    kv::entry::RemoteWinUpdate95();
    EXPECT_EQ(f.XFiles->itemIndex(), 2);
    EXPECT_TRUE(f.XFiles->selected(2));
    EXPECT_FALSE(f.XFiles->selected(0));
    EXPECT_EQ(f.Edit1->text(), f.XFiles->item(2));
    for (int row : {1, 0}) {
        f.XFiles->clickItem(row);
        kv::entry::RemoteWinUpdate95();
        EXPECT_EQ(f.XFiles->itemIndex(), 0) << row;
    }

    // Esc closes the window; closing again with nothing open does nothing.
    press(f, kv::vk::Escape);
    EXPECT_EQ(state().form, nullptr);
    EXPECT_FALSE(state().open);
    sim.user.freeReleased();
    kv::entry::RemoteWinClose95();
}

// ---- the compression dialog --------------------------------------------------------------------

class Compression : public Explorer {
protected:
    using Dialog = kv::dialogs::TUserCompress;
    // Shows the dialog for format `code`; `act` is what the user does, then `button` ends it.
    bool show(int32_t code, kv::dialogs::CompressionValues& v, std::function<void(Dialog&)> act,
              const char* button = "BtnOK") {
        sim.user.onModal("UserCompress", [this, act, button](kv::Form& f) {
            act(static_cast<Dialog&>(f));
            sim.user.clickButton(f, button);
        });
        return kv::dialogs::ShowCompressionDialog(code, v);
    }
};

TEST_F(Compression, DefaultsForEnhancedJpegAndOkWithoutChanges_ExtendedJpegForcesFourOneOneAndCancelWritesNothing) {
    kv::dialogs::CompressionValues v{9, 9, 9, 9};
    bool presetsShown = true;
    EXPECT_TRUE(show(99, v, [&](Dialog& d) {
        presetsShown = d.CustomLEADsetting->visible();
        EXPECT_EQ(d.LumaEdit->text(), "6");
        EXPECT_EQ(d.ColorEdit->text(), "12");
        EXPECT_EQ(d.Sample->itemIndex(), 0);
        EXPECT_EQ(d.ColorLabel->caption(), "&Color Setting");
    }));
    EXPECT_FALSE(presetsShown);
    EXPECT_EQ(v.luminance, 6);
    EXPECT_EQ(v.colour, 12);
    EXPECT_EQ(v.preset, 0);
    EXPECT_EQ(v.sample, 0);

    // Extended JPEG forces 4:1:1.
    v = {};
    EXPECT_TRUE(show(88, v, [&](Dialog& d) {
        EXPECT_EQ(d.Sample->itemIndex(), 2);
        EXPECT_FALSE(d.Sample->enabled());
        EXPECT_EQ(d.ColorLabel->caption(), "S&moothing");
    }));
    EXPECT_EQ(v.sample, 2);
    // A stored sampling outside the three shows as 4:4:4, and OK writes what it shows.
    set("SaveYUV", "7");
    EXPECT_TRUE(show(99, v, [&](Dialog& d) { EXPECT_EQ(d.Sample->itemIndex(), 0); }));
    EXPECT_EQ(v.sample, 0);
    kv::dialogs::CompressionValues c{7, 7, 7, 7};
    EXPECT_FALSE(show(1, c, [](Dialog&) {}, "BtnCancel"));
    EXPECT_EQ(c.luminance, 7);
    EXPECT_FALSE(show(1, c, [](Dialog& d) { d.findControl("BtnHelp")->click(); }, "BtnCancel"));
    EXPECT_EQ(sim.system.helpCalls.back().second, 101);
}

TEST_F(Compression, EditsAreClampedAndMoveTheBars) {
    kv::dialogs::CompressionValues v;
    EXPECT_TRUE(show(98, v, [&](Dialog& d) {
        d.LumaEdit->setText("300");
        EXPECT_EQ(d.LumaEdit->text(), "255");
        EXPECT_EQ(d.LumaScrollBar->position(), 255);
        d.ColorEdit->setText("1");
        EXPECT_EQ(d.ColorEdit->text(), "2");
        d.ColorEdit->setText("");
        EXPECT_EQ(d.ColorEdit->text(), "2");
        d.LumaScrollBar->setPosition(40);
        EXPECT_EQ(d.LumaEdit->text(), "40");
    }));
    EXPECT_EQ(v.luminance, 40);
    EXPECT_EQ(v.colour, 2);
}

TEST_F(Compression, CmpShowsThePresetsOverTheColourBar) {
    set("SaveCMP", "3");
    kv::dialogs::CompressionValues v;
    EXPECT_TRUE(show(0, v, [&](Dialog& d) {
        EXPECT_TRUE(d.CustomLEADsetting->visible());
        EXPECT_EQ(d.CustomLEADsetting->text(), "3 - Better Quality vs. Size");
        EXPECT_EQ(d.CustomLEADsetting->left(), d.Panel2->left());
        EXPECT_FALSE(d.Panel2->visible());
        EXPECT_FALSE(d.LumaScrollBar->enabled());
        EXPECT_FALSE(d.Sample->enabled());
        EXPECT_EQ(d.LumaLabel->caption(), "Custom &Setting");
        EXPECT_EQ(d.ColorLabel->caption(), "&CMP Presets");
        d.CustomLEADsetting->select(0);
        EXPECT_TRUE(d.LumaScrollBar->enabled());
    }));
    EXPECT_EQ(v.preset, 0);
}

}  // namespace
