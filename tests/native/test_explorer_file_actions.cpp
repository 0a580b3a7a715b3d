// The explorer's file menu against the sim backend: the selection list file and the instant
// slideshow script byte for byte (and whole after a failed write), the chosen file's
// notifications, the rename loop, and the convert dialog's view of its input files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/error.h"
#include "framework/input_box.h"
#include "tests/native/explorer_test_kit.h"
#include "tests/native/sim_kit.h"

namespace {

using namespace kv::explorer;
using kv::ModalResult;
using Strings = std::vector<std::string>;

class ExplorerFileActions : public explorer_test::ExplorerTest {
protected:
    ExplorerFileActions()
        : ExplorerTest("c:\\My Pictures 2024\\", {"Beach.BMP", "Holiday picture.bmp", "zz.tif", "Sub\\y.bmp"}) {}
    std::vector<intptr_t> notes() {
        std::vector<intptr_t> v;
        for (const auto& m : sim.host.sent) {
            EXPECT_EQ(m.msg, 0x911u);
            EXPECT_EQ(m.window, 0x1234u);
            EXPECT_EQ(m.wparam, 0u);
            v.push_back(m.lparam);
        }
        return v;
    }
    // The user's answer to the next "Rename File" box: what it showed, and the text entered
    // (nothing: Cancel).
    struct Asked {
        std::string caption, prompt, preset;
    };
    void renameAnswer(std::vector<Asked>& asked, const char* text) {
        sim.user.onModal("InputBox", [this, &asked, text](kv::Form& box) {
            asked.push_back({box.caption(), box.find<kv::Label>("Prompt")->caption(),
                             box.find<kv::Edit>("Value")->text()});
            if (!text) return sim.user.clickButton(box, "BtnCancel");
            box.find<kv::Edit>("Value")->setText(text);
            sim.user.clickButton(box, "BtnOK");
        });
    }
};

TEST_F(ExplorerFileActions, ConvertAndInstantSlideshowWriteWholeFilesOrLeaveTheOldOne) {
    TFileForm& f = openWindow();
    EXPECT_TRUE(f.BatchConvert->enabled());
    EXPECT_TRUE(f.InstantSlideshow->enabled());
    // Two files and a folder, the long-named file by its short name, the folder in short form.
    f.XFiles->clickItem(rowOf(f, "sub\\"));
    f.XFiles->clickItem(rowOf(f, "beach.bmp"), kv::CtrlKey);
    f.XFiles->clickItem(rowOf(f, "holiday picture.bmp"), kv::CtrlKey);
    f.BatchConvert->click();
    const std::string list =
        "[Directory]\r\nFiles=2\r\nName=c:\\MYPICT~1\\\r\n[1]\r\nF=Beach.BMP\r\n[2]\r\nF=HOLIDA~1.BMP\r\n";
    EXPECT_EQ(sim.readFile("c:\\kavrin.tmp"), list);
    EXPECT_FALSE(f.XFiles->selected(rowOf(f, "sub\\")));

    // Every file marked (the folder stays out): the slideshow of three files.
    f.MarkDirectory->click();
    EXPECT_EQ(f.XFiles->selCount(), 3);
    f.InstantSlideshow->click();
    const std::string show =
        "[Header]\r\nVer=4\r\nN=4\r\n[1]\r\nF=Beach.BMP,0\r\n[2]\r\nF=HOLIDA~1.BMP,0\r\n[3]\r\nF=zz.tif,0\r\n"
        "[Directory]\r\n0=c:\\MYPICT~1\\\r\n";
    EXPECT_EQ(sim.readFile("c:\\kavrin.tmp"), show);
    EXPECT_EQ(notes(), (std::vector<intptr_t>{0x908, 0x907}));

    // A list that cannot be written: the old one stays whole, the error goes to the error box
    // and the host hears nothing.
    sim.fs.setReadOnly("c:\\kavrin.tmp", true);
    EXPECT_THROW(f.BatchConvert->click(), kv::Error);
    EXPECT_THROW(f.InstantSlideshow->click(), kv::Error);
    EXPECT_EQ(sim.readFile("c:\\kavrin.tmp"), show);
    EXPECT_EQ(notes().size(), 2u);
    sim.fs.setReadOnly("c:\\kavrin.tmp", false);

    // Nothing marked: the warning, and nothing written.
    f.UnmarkDirectory->click();
    EXPECT_EQ(f.XFiles->selCount(), 0);
    sim.user.answer("No file(s) selected!", ModalResult::OK);
    f.BatchConvert->click();
    f.XFiles->clickItem(rowOf(f, "sub\\"));
    sim.user.answer("No file(s) selected!", ModalResult::OK);
    f.InstantSlideshow->click();
    EXPECT_EQ(sim.user.dialogs.back().kind, kv::DialogKind::Warning);
    EXPECT_EQ(sim.readFile("c:\\kavrin.tmp"), show);
    EXPECT_EQ(notes().size(), 2u);
}

TEST_F(ExplorerFileActions, InfoPreviewAndDeleteStoreTheFileAndNotifyButNeverForAFolder) {
    TFileForm& f = openWindow();
    // The name box decides; a folder row empties it.
    f.XFiles->clickItem(rowOf(f, "sub\\"));
    EXPECT_FALSE(f.mnuFInfo->enabled());
    f.XFiles->clickItem(rowOf(f, "holiday picture.bmp"));
    for (kv::MenuItem* m : {f.mnuFInfo, f.mnuFPreview, f.mnuFRename, f.mnuFDelete}) EXPECT_TRUE(m->enabled());
    f.mnuFInfo->click();
    EXPECT_EQ(key("Win95file"), "c:\\MYPICT~1\\HOLIDA~1.BMP");
    EXPECT_EQ(key("LongName"), "holiday picture.bmp");
    f.mnuFPreview->click();
    // Preview mode: Enter, Space and double-click on a file preview it; on a folder Enter opens it.
    sim.user.answer("Preview mode enabled.", ModalResult::OK);
    f.mnuPreviewMode->click();
    f.XFiles->clickItem(rowOf(f, "beach.bmp"));
    for (int k : {kv::vk::Return, kv::vk::Space}) f.XFiles->keyDown(k, 0);
    f.XFiles->dblClickItem(rowOf(f, "zz.tif"));
    EXPECT_EQ(key("LongName"), "zz.tif");
    f.mnuFDelete->click();
    EXPECT_EQ(notes(), (std::vector<intptr_t>{0x901, 0x903, 0x903, 0x903, 0x903, 0x904}));

    // The host's update after a delete may leave a folder's row in the name box: the host is
    // not asked to delete a folder, nor a file that is gone.
    f.XFiles->clickItem(rowOf(f, "beach.bmp"));
    kv::entry::RemoteWinUpdate95();
    EXPECT_EQ(f.Edit1->text(), "sub\\");
    sim.user.answer("No file(s) selected!", ModalResult::OK);
    f.mnuFDelete->click();
    f.XFiles->clickItem(rowOf(f, "zz.tif"));
    sim.fs.deleteFile("c:\\My Pictures 2024\\zz.tif");
    sim.user.answer("No file(s) selected!", ModalResult::OK);
    f.mnuFInfo->click();
    EXPECT_EQ(notes().size(), 6u);
    f.XFiles->clickItem(rowOf(f, "sub\\"));
    press(f, kv::vk::Return);
    EXPECT_EQ(f.currentFolder(), "c:\\My Pictures 2024\\sub");
}

TEST_F(ExplorerFileActions, RenameAsksAgainUntilANewNameIsTakenOrRefused) {
    const std::string D = "c:\\Renaming in a folder of 41 characters\\";
    ASSERT_EQ(D.size(), 41u);
    sim.writeFile(D + "a.bmp", "picture a");
    sim.writeFile(D + "b.bmp");
    set("LastDir", D);
    TFileForm& f = openWindow();
    f.XFiles->clickItem(rowOf(f, "a.bmp"));
    std::vector<Asked> asked;
    // b.bmp exists; a.jpg is another type (Cancel asks again); c.BMP too (the comparison is exact).
    renameAnswer(asked, "b.bmp");
    sim.user.answer("Filename exists.\n" + D + "b.bmp", ModalResult::OK);
    renameAnswer(asked, "a.jpg");
    sim.user.answer("Different FILE extension.\nOld Type:.bmp\nNew Type:.jpg\nContinue ?", ModalResult::Cancel);
    renameAnswer(asked, "c.BMP");
    sim.user.answer("Different FILE extension.\nOld Type:.bmp\nNew Type:.BMP\nContinue ?", ModalResult::OK);
    f.mnuFRename->click();
    ASSERT_EQ(asked.size(), 3u);
    for (const Asked& a : asked) {
        EXPECT_EQ(a.caption, "Rename File");
        EXPECT_EQ(a.prompt, D.substr(0, 40) + " ...");
        EXPECT_EQ(a.preset, "a.bmp");
    }
    EXPECT_EQ(sim.user.dialogs[0].kind, kv::DialogKind::Warning);
    EXPECT_EQ(sim.user.dialogs[1].kind, kv::DialogKind::Confirmation);
    EXPECT_EQ(sim.readFile(D + "c.BMP"), "picture a");
    EXPECT_FALSE(sim.fs.exists(D + "a.bmp"));
    EXPECT_EQ(rowOf(f, "c.bmp"), 1);  // listed again

    // Cancel, the same name or an empty one: nothing happens.
    f.XFiles->clickItem(rowOf(f, "c.bmp"));
    for (const char* answer : {static_cast<const char*>(nullptr), "c.bmp", ""}) {
        renameAnswer(asked, answer);
        f.mnuFRename->click();
    }
    // A name the platform refuses, and a file gone behind the list: "Could not rename".
    renameAnswer(asked, "sub\\c.bmp");
    sim.user.answer("Could not rename\n" + D + "c.bmp\nto\n" + D + "sub\\c.bmp", ModalResult::OK);
    f.mnuFRename->click();
    sim.fs.deleteFile(D + "c.BMP");
    renameAnswer(asked, "d.bmp");
    sim.user.answer("Could not rename\n" + D + "c.bmp\nto\n" + D + "d.bmp", ModalResult::OK);
    f.mnuFRename->click();
    EXPECT_EQ(sim.user.dialogs.back().kind, kv::DialogKind::Error);
    EXPECT_EQ(asked.size(), 8u);
    EXPECT_FALSE(sim.fs.exists(D + "d.bmp"));
    // No name at all.
    f.Edit1->setText("");
    sim.user.answer("No file(s) selected!", ModalResult::OK);
    f.mnuFRenameClick(nullptr);
}

TEST_F(ExplorerFileActions, ConvertDialogShowsTheHostsListOnceAndEscGoesBack) {
    sim.writeFile("c:\\kavrin.tmp", "[Directory]\r\nFiles=2\r\nName=c:\\x\\\r\n[1]\r\nF=PIC1.BMP\r\n");
    Strings rows, again;
    bool panels = true, open = true;
    sim.user.onModal("FileForm", [&](kv::Form& form) {
        auto& f = static_cast<TFileForm&>(form);
        for (kv::MenuItem* m : {f.mnuFInfo, f.mnuFPreview, f.mnuFRename, f.mnuFDelete, f.BatchConvert,
                                f.InstantSlideshow, f.mnuPreviewMode})
            EXPECT_FALSE(m->visible()) << m->name();
        f.mnuListInput->click();
        EXPECT_TRUE(f.InputList->visible());
        EXPECT_EQ(f.InputList->columns(), 4);
        EXPECT_EQ(f.InputList->hint(), "Right-click or press Esc to go back");
        EXPECT_EQ(f.mnuListInput->caption(), "&Hide input files");
        panels = f.PanelTop->visible() || f.PanelBottom->visible() || f.XFiles->visible();
        open = f.mnuFOpen->visible() || f.mnuFLevel->visible() || f.mnuRefresh->visible() || f.mnuFSep->visible();
        for (const auto& it : f.InputList->items()) rows.push_back(it.text);
        sim_test::press(f.InputList, kv::vk::Escape);
        EXPECT_FALSE(f.InputList->visible());
        EXPECT_TRUE(f.XFiles->visible() && f.PanelTop->visible() && f.mnuFOpen->visible());
        EXPECT_EQ(f.mnuListInput->caption(), "&View input files");
        sim.writeFile("c:\\kavrin.tmp", "[Directory]\r\nFiles=1\r\n[1]\r\nF=OTHER.BMP\r\n");
        f.mnuListInput->click();
        for (const auto& it : f.InputList->items()) again.push_back(it.text);
        f.mnuListInput->click();
        f.BtnExit->click();
    });
    EXPECT_EQ(ShowDialogForm(124, 0), -1);
    EXPECT_FALSE(panels);
    EXPECT_FALSE(open);
    EXPECT_EQ(rows, (Strings{"pic1.bmp", "[error]"}));
    EXPECT_EQ(again, rows);
}

}  // namespace
