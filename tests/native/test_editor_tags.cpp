// Tags and the slide's file: tagging, viewing (the player, or the tag list and result 2),
// file information, rename, move of one file or of the tagged ones, and trash; and what each
// leaves behind when the platform refuses (read-only, in use, target exists, disk full).
#include <gtest/gtest.h>
#include <sys/time.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/sim/sim_platform.h"
#include "tests/native/editor_test_kit.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;

class Tags : public editor_test::EditorTest {
protected:
    Tags() {
        appDir = "c:\\app\\";
        lazyForm = true;
    }
    void SetUp() override {
        EditorTest::SetUp();
        sim.fs.createDirectory("c:\\app");
        sim.fs.createDirectory("c:\\pics");
        sim.fs.createDirectory("c:\\dest");
        sim.fs.mapDrive('D', sim.root() + "/drive-d");
        form = std::make_unique<TEditorForm>();
        // The move dialog: the folder the user picks, with the proposed name.
        kv::explorer::setRemoteDlgHandler([this](int32_t mode, int32_t option) {
            dialogs.push_back(mode * 1000 + option);
            if (!moveTo.empty())
                editor_test::setSetting("SaveName", moveTo + kv::namePart(editor_test::setting("SaveAs")));
            return moveTo.empty() ? -1 : 0;
        });
    }
    // a.bmp, clip.avi, b.bmp, a CD track, c.bmp; the files exist.
    void fiveSlides() {
        const struct { const char* name; void (TEditorForm::*setUp)(); } slides[] = {
            {"a.bmp", &TEditorForm::SetUpGraphic}, {"clip.avi", &TEditorForm::SetUpAVI},
            {"b.bmp", &TEditorForm::SetUpGraphic}, {"", &TEditorForm::SetUpAudio},
            {"c.bmp", &TEditorForm::SetUpGraphic}};
        for (const auto& s : slides) {
            const std::string p = *s.name ? std::string("c:\\pics\\") + s.name : BlankMarker;
            if (*s.name) sim.writeFile(p, "12345");
            add(p, s.setUp);
        }
        form->Grid->setCell(DisplayName, 4, "CD Track: 7");
        form->Grid->setCell(Param, 4, "7");
        form->EnableControls();
        editorState().modified = false;
    }
    std::string column(int col) { return joined(col, "|"); }
    void select(int r) { form->Grid->setRow(r); }
    bool exists(const std::string& p) { return sim.fs.exists(p); }

    std::vector<int> dialogs;
    std::string moveTo;  // folder chosen in the move dialog; empty: cancelled
};

TEST_F(Tags, TaggingTagAllAndTheThreeWaysOfView) {
    fiveSlides();
    const std::string B = BlankMarker;
    // Only pictures take a tag; a second tag untags; tags are no change to the script.
    select(2);
    form->BtnTag->click();
    select(1);
    form->BtnTag->click();
    EXPECT_EQ(column(Tag), "X|" + B + "||" + B + "|");
    form->mnuTag->click();
    form->mnuTagAll->click();
    EXPECT_EQ(column(Tag), "X|" + B + "|X|" + B + "|X");
    form->mnuUnTagAll->click();
    EXPECT_EQ(column(Tag), "|" + B + "||" + B + "|");
    EXPECT_FALSE(editorState().modified);

    // Nothing tagged and a CD track current: nothing to view.
    sim.writeFile("c:\\app\\tag.lst", "stale");
    select(4);
    sim.user.answer("Tag slides or select graphic slide for viewing.", ModalResult::OK);
    form->BtnView->click();
    // Nothing tagged, a picture current: the player at once, hidden, on SaveAs; the stale list gone.
    select(3);
    form->mnuEditPopup(nullptr);  // the item is enabled as the menu opens
    form->mnuView->click();
    EXPECT_EQ(sim.system.programs, std::vector<std::string>{"\"c:\\app\\kvshow.exe\" /x"});
    EXPECT_EQ(sim.system.programShows, std::vector<int>{0});
    EXPECT_EQ(editor_test::setting("SaveAs"), "c:\\pics\\b.bmp");
    EXPECT_FALSE(exists("c:\\app\\tag.lst"));

    // Two of five tagged, a picture current: asked first; No starts the player again.
    form->Grid->setCell(Tag, 1, "X");
    form->Grid->setCell(Tag, 5, "X");
    sim.user.answer("View all tagged slides?", ModalResult::No);
    form->BtnView->click();
    EXPECT_EQ(sim.system.programs.size(), 2u);
    EXPECT_EQ(form->modalResult(), ModalResult::None);
    // A video current: the list without a question, and the editor ends with Retry (result 2).
    select(2);
    form->BtnView->click();
    EXPECT_EQ(form->modalResult(), ModalResult::Retry);
    EXPECT_EQ(sim.readFile("c:\\app\\tag.lst"), "[Count]\r\nN=2\r\n[1]\r\nF=c:\\pics\\a.bmp\r\n[2]\r\nF=c:\\pics\\c.bmp\r\n");
    EXPECT_EQ(sim.user.dialogs[0].kind, kv::DialogKind::Information);
    EXPECT_EQ(sim.user.dialogs[1].kind, kv::DialogKind::Information);

    // A player that cannot start, or a list that cannot be written, is reported; the editor stays.
    form->setModalResult(ModalResult::None);
    sim.system.runOk = false;
    select(3);
    sim.user.answer("View all tagged slides?", ModalResult::No);
    sim.user.answer("Cannot start\nc:\\app\\kvshow.exe", ModalResult::OK);
    form->BtnView->click();
    sim.fs.setDiskFull(true);
    select(2);
    sim.user.answer("Unable to write to c:\\app\\tag.lst", ModalResult::OK);
    form->BtnView->click();
    EXPECT_EQ(form->modalResult(), ModalResult::None);
}

TEST_F(Tags, InformationRenameAndTrashOfOneFile) {
    const std::string longName = "Harbour lights at night with a long name.jpeg";  // 45 characters
    sim.writeFile("c:\\pics\\" + longName, "1234567");
    add("c:\\pics\\harbou~1.jpe", &TEditorForm::SetUpGraphic);
    form->Grid->setCell(DisplayName, 1, longName);
    // A known last-write time: 15 June 2021 14:05:09 UTC.
    struct timeval t[2] = {{1623765909, 0}, {1623765909, 0}};
    ASSERT_EQ(utimes(sim.fs.hostPath("c:\\pics\\" + longName).c_str(), t), 0);
    form->EnableControls();
    editorState().modified = false;

    sim.user.answer("Slide: 1\nFile: harbou~1.jpe\nAlias: Harbour lights at night with a long name ...\n"
                    "Size: 7 bytes\nModified: 6/15/2021 2:05:09 PM",
                    ModalResult::OK);
    form->BtnInfo->click();
    EXPECT_EQ(sim.user.dialogs.back().kind, kv::DialogKind::Information);
    sim.user.answer("Harbour lights at night with a long name...\nDelete file ?", ModalResult::No);
    form->mnuTrash->click();
    EXPECT_TRUE(exists("c:\\pics\\harbou~1.jpe"));

    // Rename: the same name in another case is refused.
    auto renameTo = [this](const std::string& typed, std::string* prompt = nullptr) {
        sim.user.onModal("InputBox", [this, typed, prompt](kv::Form& f) {
            if (prompt) *prompt = f.caption() + "|" + f.find<kv::Label>("Prompt")->caption();
            sim.user.typeInto(f, "Value", typed);
            sim.user.clickButton(f, "BtnOK");
        });
        form->mnuRename->click();
    };
    std::string prompt;
    sim.user.answer("Filename exists.\nHARBOUR LIGHTS AT NIGHT WITH A LONG NAME.JPEG", ModalResult::OK);
    renameTo("HARBOUR LIGHTS AT NIGHT WITH A LONG NAME.JPEG", &prompt);
    EXPECT_EQ(prompt, "Rename File|harbour lights at night with a long name.jpeg");
    // The file the slide plays (FilePath) is renamed, also when the display name is not its
    // name: a file of the display name's name stays alone.
    form->Grid->setCell(DisplayName, 1, "shown.bmp");
    sim.writeFile("c:\\pics\\shown.bmp", "other");
    renameTo("Sunny day.bmp");
    EXPECT_EQ(column(FilePath), "c:\\pics\\sunnyd~1.bmp");
    EXPECT_EQ(column(DisplayName), "Sunny day.bmp");
    EXPECT_TRUE(editorState().modified);  // the saved script names the old file
    EXPECT_EQ(sim.readFile("c:\\pics\\Sunny day.bmp"), "1234567");
    EXPECT_EQ(sim.readFile("c:\\pics\\shown.bmp"), "other");
    // A file in use is not renamed; a name with a folder in it is refused.
    sim.fs.setInUse("c:\\pics\\Sunny day.bmp", true);
    sim.user.answer("Could not rename\nsunny day.bmp\nto\nx.bmp", ModalResult::OK);
    renameTo("x.bmp");
    sim.fs.setInUse("c:\\pics\\Sunny day.bmp", false);
    sim.user.answer("Could not rename\nsunny day.bmp\nto\n..\\x.bmp", ModalResult::OK);
    renameTo("..\\x.bmp");
    EXPECT_EQ(column(DisplayName), "Sunny day.bmp");
    EXPECT_FALSE(exists("c:\\x.bmp"));
    EXPECT_FALSE(exists("c:\\pics\\x.bmp"));
}

TEST_F(Tags, TrashRefusedKeepsFileAndSlideAndACdTrackTouchesNoFile) {
    fiveSlides();
    editorState().CatalogId = "SHOW1";
    form->Grid->setCell(ThumbIndex, 1, "7");
    sim.writeFile("c:\\app\\SHOW17.BMP");
    // A CD track's marker as a file name in the current folder: never looked up or deleted.
    sim.writeFile("c:\\" + BlankMarker);
    select(4);
    sim.user.answer("File not found!", ModalResult::OK);
    form->BtnInfo->click();
    sim.user.answer("CD Track: 7\nDelete file ?", ModalResult::Yes);
    sim.user.answer("Access denied.", ModalResult::OK);
    form->BtnTrash->click();
    sim.user.answer("Move file failed.", ModalResult::OK);
    form->BtnRelocate->click();
    EXPECT_TRUE(exists("c:\\" + BlankMarker));
    EXPECT_TRUE(dialogs.empty());
    // Read-only, then in use: refused; the file and the slide stay.
    select(1);
    sim.fs.setReadOnly("c:\\pics\\a.bmp", true);
    sim.user.answer("a.bmp\nDelete file ?", ModalResult::Yes);
    sim.user.answer("Access denied.", ModalResult::OK);
    form->BtnTrash->click();
    sim.fs.setReadOnly("c:\\pics\\a.bmp", false);
    sim.fs.setInUse("c:\\pics\\a.bmp", true);
    sim.user.answer("a.bmp\nDelete file ?", ModalResult::Yes);
    sim.user.answer("Access denied.", ModalResult::OK);
    form->BtnTrash->click();
    EXPECT_EQ(form->Grid->rowCount(), 6);
    EXPECT_TRUE(exists("c:\\pics\\a.bmp"));
    EXPECT_FALSE(editorState().modified);
    // Deleted: the slide erased with its thumbnail, no question about it, and no tag check.
    sim.fs.setInUse("c:\\pics\\a.bmp", false);
    form->Grid->setCell(Tag, 3, "X");
    sim.user.answer("a.bmp\nDelete file ?", ModalResult::Yes);
    form->BtnTrash->click();
    EXPECT_FALSE(exists("c:\\pics\\a.bmp"));
    EXPECT_FALSE(exists("c:\\app\\SHOW17.BMP"));
    EXPECT_EQ(column(DisplayName), "clip.avi|b.bmp|CD Track: 7|c.bmp");
}

TEST_F(Tags, MoveOneFileThroughEveryRefusalThenForReal) {
    fiveSlides();
    select(3);
    moveTo = "c:\\dest\\";
    sim.writeFile("c:\\dest\\b.bmp", "theirs");
    sim.user.answer("Destination file exists.", ModalResult::OK);
    form->mnuRelocate->click();
    EXPECT_EQ(dialogs, std::vector<int>{102000});
    EXPECT_EQ(sim.readFile("c:\\dest\\b.bmp"), "theirs");
    // To another drive: a full disk, then a file in use (copied, the original not removable:
    // the copy is taken back). Each time the file and the slide stay as they were.
    moveTo = "d:\\";
    sim.fs.setDriveFull('d', true);
    sim.user.answer("Move file failed.", ModalResult::OK);
    form->BtnRelocate->click();
    sim.fs.setDriveFull('d', false);
    sim.fs.setInUse("c:\\pics\\b.bmp", true);
    sim.user.answer("Move file failed.", ModalResult::OK);
    form->BtnRelocate->click();
    EXPECT_FALSE(exists("d:\\b.bmp"));
    EXPECT_EQ(column(FilePath), "c:\\pics\\a.bmp|c:\\pics\\clip.avi|c:\\pics\\b.bmp|" + BlankMarker + "|c:\\pics\\c.bmp");
    EXPECT_FALSE(editorState().modified);
    // Moved: the slide follows its file.
    sim.fs.setInUse("c:\\pics\\b.bmp", false);
    form->BtnRelocate->click();
    EXPECT_EQ(sim.readFile("d:\\b.bmp"), "12345");
    EXPECT_FALSE(exists("c:\\pics\\b.bmp"));
    EXPECT_EQ(form->Grid->cell(FilePath, 3), "d:\\b.bmp");
    EXPECT_TRUE(editorState().modified);
    // A cancelled dialog changes nothing.
    moveTo.clear();
    select(1);
    form->BtnRelocate->click();
    EXPECT_EQ(editor_test::setting("SaveAs"), "a.bmp");
    EXPECT_TRUE(exists("c:\\pics\\a.bmp"));
}

TEST_F(Tags, MovingTaggedFilesSkipsExactlyThoseThatExistOrAreRefused) {
    fiveSlides();
    form->mnuTagAll->click();
    form->Grid->setRow(2);  // the current slide is no picture: the tagged ones move
    sim.writeFile("c:\\dest\\b.bmp", "theirs");
    sim.fs.setInUse("c:\\pics\\c.bmp", true);
    moveTo = "c:\\dest\\";
    sim.user.answer("b.bmp\nDestination file exists; skipped.", ModalResult::OK);
    sim.user.answer("Move file failed.\nc.bmp", ModalResult::OK);
    form->mnuRelocate->click();
    EXPECT_EQ(editor_test::setting("SaveAs"), "~[ ALL TAGGED FILES ]~");
    EXPECT_EQ(column(FilePath), "c:\\dest\\a.bmp|c:\\pics\\clip.avi|c:\\pics\\b.bmp|" + BlankMarker + "|c:\\pics\\c.bmp");
    EXPECT_EQ(sim.readFile("c:\\dest\\b.bmp"), "theirs");
    EXPECT_TRUE(exists("c:\\pics\\b.bmp") && exists("c:\\pics\\c.bmp") && !exists("c:\\pics\\a.bmp"));
    EXPECT_EQ(column(Tag), "X|" + BlankMarker + "|X|" + BlankMarker + "|X");  // tags stay
    EXPECT_TRUE(editorState().modified);
}

}  // namespace
