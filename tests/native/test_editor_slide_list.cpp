// The editor's slide list operations: adding and inserting the files of the explorer's
// selection list, CD track slides, erasing one slide or the tagged ones, moving, finding,
// going to a number, sorting by name, date and size, and renumbering after a row drag; each
// with its effect on the modified flag, the slide numbers and the thumbnail indices.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/sim/sim_platform.h"
#include "framework/names.h"
#include "tests/native/editor_test_kit.h"
#include "tests/native/value_dialog_kit.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;

class SlideList : public editor_test::EditorTest {
protected:
    SlideList() {
        appDir = "c:\\app\\";
        lazyForm = true;
    }
    void SetUp() override {
        EditorTest::SetUp();
        editorState().CatalogId = "7P4S8";
        sim.fs.createDirectory("c:\\app");
        sim.fs.createDirectory("c:\\pics");
        form = std::make_unique<TEditorForm>();
        editor_test::setSetting("Win95Tmp", "c:\\kavrin.tmp");
        kv::explorer::setRemoteDlgHandler([this](int32_t mode, int32_t option) {
            dialogModes.push_back(mode * 1000 + option);
            return dialogResult;
        });
    }
    void file(const std::string& path, const std::string& bytes = "x") { ASSERT_TRUE(sim.fs.writeFileAtomic(path, bytes)); }
    // The selection list as the explorer writes it: the count and the folder, one section per file.
    void list(const std::string& folder, const std::vector<std::string>& names) {
        std::string s = "[Directory]\r\nFiles=" + std::to_string(names.size()) + "\r\nName=" + folder + "\r\n";
        for (size_t i = 0; i < names.size(); ++i) s += "[" + std::to_string(i + 1) + "]\r\nF=" + names[i] + "\r\n";
        file("c:\\kavrin.tmp", s);
    }
    // Picture slides A, B, C… with thumbnail indices 1, 2, 3…
    void letters(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name(1, static_cast<char>('A' + i));
            int r = add("c:\\pics\\" + name + ".bmp", &TEditorForm::SetUpGraphic);
            form->Grid->setCell(DisplayName, r, name);
            form->Grid->setCell(ThumbIndex, r, std::to_string(i + 1));
        }
        form->Grid->setRow(1);
        form->EnableControls();
        editorState().modified = false;
    }
    std::string column(int col) { return joined(col, " "); }
    // Slide numbers equal the row numbers.
    void expectNumbered() {
        for (int r = 1; r < form->Grid->rowCount(); ++r) EXPECT_EQ(form->Grid->cell(SlideNo, r), std::to_string(r)) << r;
    }
    void find(const std::string& word, std::string* preset = nullptr) {
        sim.user.onModal("InputBox", [this, word, preset](kv::Form& f) {
            if (preset) *preset = f.find<kv::Edit>("Value")->text();
            if (word.empty()) sim.user.pressKeyIn(f, "Value", kv::vk::Delete);  // the preset, selected
            else sim.user.typeInto(f, "Value", word);
            sim.user.pressKeyIn(f, "Value", kv::vk::Return);
        });
        form->BtnFind->click();
    }

    int32_t dialogResult = 0;
    std::vector<int32_t> dialogModes;
};

TEST_F(SlideList, AddFillsAnEmptyScriptWithEachKindsDefaults) {
    // The list names the files by their short names, as the explorer writes it.
    std::vector<std::string> names, paths;
    for (const char* n : {"SUNSET.Jpeg", "clip.mpg", "a.mov", "x.flx", "Holiday picture.bmp", "bell.wav"}) {
        file(std::string("c:\\pics\\") + n);
        paths.push_back(kv::lower(kv::GetShortPath(std::string("c:\\pics\\") + n)));
        names.push_back(kv::namePart(paths.back()));
    }
    EXPECT_EQ(paths[4], "c:\\pics\\holida~1.bmp");
    list("c:\\pics\\", names);
    form->BtnAdd->click();
    EXPECT_EQ(dialogModes, std::vector<int32_t>{253000});
    EXPECT_EQ(form->Grid->rowCount(), 7);
    EXPECT_EQ(form->Grid->row(), 1);
    EXPECT_TRUE(editorState().modified);
    expectNumbered();
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(form->Grid->cell(FilePath, r), paths[static_cast<size_t>(r - 1)]);
    EXPECT_EQ(column(DisplayName), "SUNSET.Jpeg clip.mpg a.mov x.flx Holiday picture.bmp bell.wav");
    // Each kind's set-up: the volume column tells picture, AVI, MOV and animation apart, the
    // parameter the sound.
    EXPECT_EQ(form->Grid->cell(Volume, 1), BlankMarker);
    EXPECT_EQ(form->Grid->cell(Volume, 2), "100");
    EXPECT_EQ(form->Grid->cell(Volume, 3), "50");
    EXPECT_EQ(form->Grid->cell(Volume, 4), BlankMarker);
    EXPECT_EQ(form->Grid->cell(EffectName, 4), "Loop 1x");
    EXPECT_EQ(form->Grid->cell(Param, 6), "1");
    EXPECT_NE(form->Fullname->caption().find("[1 of 6]"), std::string::npos) << form->Fullname->caption();
}

TEST_F(SlideList, ALongListGivesTheSameNamesAsOneLookUpPerFile) {
    // From 64 files on, the names come from one listing of the folder.
    std::vector<std::string> names, longNames;
    for (int i = 0; i < 70; ++i) {
        longNames.push_back(i % 2 ? "Long picture name " + std::to_string(i) + ".jpeg" : "P" + std::to_string(i) + ".BMP");
        file("c:\\pics\\" + longNames.back());
        names.push_back(kv::namePart(kv::GetShortPath("c:\\pics\\" + longNames.back())));
    }
    names[5] = "missing.bmp";
    list("c:\\pics\\", names);
    form->BtnAdd->click();
    ASSERT_EQ(form->Grid->rowCount(), 71);
    for (int i = 0; i < 70; ++i) {
        const std::string full = "c:\\pics\\" + names[static_cast<size_t>(i)];
        EXPECT_EQ(form->Grid->cell(FilePath, i + 1), kv::lower(kv::GetShortPath(full))) << i;
        EXPECT_EQ(form->Grid->cell(DisplayName, i + 1), kv::GetLongFileName(full)) << i;
    }
    EXPECT_EQ(form->Grid->cell(DisplayName, 2), "Long picture name 1.jpeg");
    EXPECT_EQ(form->Grid->cell(DisplayName, 1), "p0.bmp");
}

TEST_F(SlideList, InsertGoesBeforeTheCurrentSlideAndAddAppends) {
    letters(4);
    file("c:\\pics\\p.bmp");
    file("c:\\pics\\q.bmp");
    list("c:\\pics", {"p.bmp", "q.bmp"});  // a folder without its backslash works too
    form->Grid->setRow(3);
    form->BtnInsert->click();
    EXPECT_EQ(column(DisplayName), "A B p.bmp q.bmp C D");
    EXPECT_EQ(column(ThumbIndex), "1 2   3 4");
    EXPECT_EQ(form->Grid->row(), 3);
    EXPECT_TRUE(editorState().modified);
    expectNumbered();
    // Add from the menu: after the last slide, and the old last row is current.
    form->mnuAdd->click();
    EXPECT_EQ(column(DisplayName), "A B p.bmp q.bmp C D p.bmp q.bmp");
    EXPECT_EQ(form->Grid->row(), 6);
    expectNumbered();
    // A missing numbered entry gives a picture slide named ERROR in the list's folder.
    file("c:\\kavrin.tmp", "[Directory]\r\nFiles=1\r\nName=c:\\pics\\\r\n");
    form->mnuInsert->click();
    EXPECT_EQ(form->Grid->cell(FilePath, 6), "c:\\pics\\error");
    EXPECT_EQ(form->Grid->cell(Wait, 6), "0");
}

// Every table the editor can hold, every current row, add and insert, one and several files:
// the old rows stay, each with all its cells, and the new slides are where they belong (at
// the end, or from the current row on), however the table came about.
TEST_F(SlideList, AddAndInsertKeepEverySlideOfEveryTable) {
    enum Shape { StartRow, StartRowAndCd, CdOnly, OneSlide, Many };
    file("c:\\pics\\p.bmp");
    file("c:\\pics\\q.bmp");
    file("c:\\pics\\r.bmp");
    for (Shape shape : {StartRow, StartRowAndCd, CdOnly, OneSlide, Many}) {
        for (int k : {1, 3}) {
            for (bool insert : {false, true}) {
                for (int current = 1;; ++current) {
                    form = std::make_unique<TEditorForm>();
                    if (shape == StartRowAndCd || shape == CdOnly) {  // as the user makes them
                        value_dialog_test::typeAndEnter(sim.user, "7");
                        sim.user.answer("Replace current slide?", shape == CdOnly ? ModalResult::Yes : ModalResult::No);
                        form->BtnCD->click();
                    }
                    if (shape == OneSlide || shape == Many) letters(shape == Many ? 4 : 1);
                    const int n = form->Grid->rowCount() - 1;
                    if (current > n) break;
                    form->Grid->setRow(current);
                    std::vector<std::vector<std::string>> old = table();
                    std::vector<std::string> added = {"p.bmp", "q.bmp", "r.bmp"};
                    added.resize(static_cast<size_t>(k));
                    list("c:\\pics\\", added);
                    // The handler itself: "&Insert" is disabled without slides, and the
                    // handler must still add then.
                    form->BtnAddClick(insert ? form->BtnInsert : form->BtnAdd);

                    const std::string at = std::to_string(shape) + (insert ? " insert " : " add ") +
                                           std::to_string(k) + " at " + std::to_string(current);
                    // Where the new slides go and which row is current afterwards.
                    int first = n + 1, selected = n;
                    if (shape == StartRow) first = selected = 1, old.clear();
                    else if (insert) first = selected = current;
                    ASSERT_EQ(form->Grid->rowCount(), static_cast<int>(old.size()) + k + 1) << at;
                    for (int r = 1, o = 0; r < form->Grid->rowCount(); ++r) {
                        std::vector<std::string> cells = form->Grid->rowCells(r);
                        EXPECT_EQ(cells[SlideNo], std::to_string(r)) << at;
                        if (r >= first && r < first + k) {
                            EXPECT_EQ(cells[FilePath], "c:\\pics\\" + added[static_cast<size_t>(r - first)]) << at;
                            EXPECT_EQ(cells[Wait], "0") << at;  // a picture's set-up
                            continue;
                        }
                        std::vector<std::string>& before = old[static_cast<size_t>(o++)];
                        cells[SlideNo] = before[SlideNo];
                        EXPECT_EQ(cells, before) << at << " row " << r;
                    }
                    EXPECT_EQ(form->Grid->row(), selected) << at;
                    EXPECT_TRUE(editorState().modified) << at;
                }
            }
        }
    }
}

TEST_F(SlideList, BadListsAndCancelsChangeNothing) {
    letters(2);
    const std::string before = column(FilePath);
    // Cancelled dialog, then no list name: silent.
    dialogResult = -1;
    form->BtnAdd->click();
    dialogResult = 0;
    editor_test::setSetting("Win95Tmp", "ERROR");
    form->BtnAdd->click();
    EXPECT_FALSE(editorState().modified);
    // A missing file, and counts that are missing, 0, negative, garbage or absurd.
    editor_test::setSetting("Win95Tmp", "c:\\kavrin.tmp");
    for (const char* bytes : {"", "[Directory]\r\nName=c:\\\r\n", "[Directory]\r\nFiles=0\r\n", "[Directory]\r\nFiles=-3\r\n",
                              "[Directory]\r\nFiles=two\r\n", "[Directory]\r\nFiles=2000000000\r\n"}) {
        if (*bytes) file("c:\\kavrin.tmp", bytes);
        sim.user.answer("Bad AVL file.", ModalResult::OK);
        form->BtnInsert->click();
        EXPECT_EQ(column(FilePath), before) << bytes;
    }
    EXPECT_EQ(sim.user.dialogs.size(), 6u);
    for (const auto& d : sim.user.dialogs) EXPECT_EQ(d.kind, kv::DialogKind::Error);
    EXPECT_FALSE(editorState().modified);
}

TEST_F(SlideList, TooManySlidesWarnsAndKeepsThem) {
    std::vector<std::string> names(1600, "p.bmp");
    list("c:\\pics\\", names);
    sim.user.answer("Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.", ModalResult::OK);
    form->BtnAdd->click();
    EXPECT_EQ(form->Grid->rowCount(), 1601);
    expectNumbered();
}

TEST_F(SlideList, EraseOneSlideAndItsThumbnail) {
    letters(3);
    file("c:\\app\\7P4S82.BMP");
    // The thumbnail question: Cancel stops, but the flag is already set.
    form->Grid->setRow(2);
    sim.user.answer("ERASE SLIDE\nThumbnail should be kept\nif you will save a subset.\nDelete thumbnail ?", ModalResult::Cancel);
    form->BtnDelete->click();
    EXPECT_EQ(column(DisplayName), "A B C");
    EXPECT_TRUE(editorState().modified);
    // Yes deletes it; the rows below move up with their indices and are renumbered.
    sim.user.answer("ERASE SLIDE\nThumbnail should be kept\nif you will save a subset.\nDelete thumbnail ?", ModalResult::Yes);
    form->mnuCut->click();
    EXPECT_EQ(column(DisplayName), "A C");
    EXPECT_EQ(column(ThumbIndex), "1 3");
    EXPECT_FALSE(sim.fs.exists("c:\\app\\7P4S82.BMP"));
    expectNumbered();
    // The last of two: slide 1 is current, no file, no question.
    form->Grid->setRow(2);
    form->BtnDelete->click();
    EXPECT_EQ(column(DisplayName), "A");
    EXPECT_EQ(form->Grid->row(), 1);
    EXPECT_TRUE(editorState().modified);
    // The only slide: the blank start row, and nothing left to save.
    form->BtnDelete->click();
    EXPECT_EQ(form->Grid->rowCount(), 2);
    EXPECT_EQ(form->Grid->cell(FilePath, 1), "");
    EXPECT_EQ(form->Grid->cell(DisplayName, 1), "<right-click me>");
    EXPECT_FALSE(editorState().modified);
}

TEST_F(SlideList, EraseWithTagsErasesEveryTaggedSlide) {
    letters(5);
    file("c:\\app\\7P4S82.BMP");
    file("c:\\app\\7P4S84.BMP");
    file("c:\\app\\7P4S85.BMP");
    form->Grid->setCell(Tag, 2, "X");
    form->Grid->setCell(Tag, 4, "X");
    form->Grid->setRow(5);  // whatever the current slide
    sim.user.answer("ERASE SLIDES\nDelete tagged thumbnails too?", ModalResult::Yes);
    form->BtnDelete->click();
    EXPECT_EQ(column(DisplayName), "A C E");
    EXPECT_EQ(column(ThumbIndex), "1 3 5");
    EXPECT_FALSE(sim.fs.exists("c:\\app\\7P4S82.BMP"));
    EXPECT_FALSE(sim.fs.exists("c:\\app\\7P4S84.BMP"));
    EXPECT_TRUE(sim.fs.exists("c:\\app\\7P4S85.BMP"));
    EXPECT_TRUE(editorState().modified);
    expectNumbered();
    // Every slide tagged, thumbnails kept: the blank start row, the flag cleared.
    for (int r = 1; r <= 3; ++r) form->Grid->setCell(Tag, r, "X");
    sim.user.answer("ERASE SLIDES\nDelete tagged thumbnails too?", ModalResult::No);
    form->mnuCut->click();
    EXPECT_EQ(form->Grid->rowCount(), 2);
    EXPECT_EQ(form->Grid->cell(FilePath, 1), "");
    EXPECT_FALSE(editorState().modified);
    EXPECT_TRUE(sim.fs.exists("c:\\app\\7P4S85.BMP"));
}

TEST_F(SlideList, MoveToANumber) {
    struct Case {
        int from, to;
        const char* order;
        int current;
        bool modified;
    };
    for (const Case& c : {Case{2, 5, "A C D B E F", 5, true}, Case{5, 2, "A E B C D F", 2, true},
                          Case{3, 4, "A B D C E F", 4, true}, Case{3, 3, "A B C D E F", 3, false}}) {
        form = std::make_unique<TEditorForm>();
        letters(6);
        file("c:\\app\\7P4S8" + std::to_string(c.from) + ".BMP");  // kept, nothing asked
        form->Grid->setRow(c.from);
        value_dialog_test::Seen seen;
        value_dialog_test::typeAndEnter(sim.user, std::to_string(c.to), &seen);
        form->BtnMove->click();
        EXPECT_EQ(seen.caption, "Move slide #" + std::to_string(c.from) + " to");
        EXPECT_EQ(seen.min, 1);
        EXPECT_EQ(seen.max, 6);
        EXPECT_EQ(seen.position, c.from);
        EXPECT_EQ(column(DisplayName), c.order) << c.from << "->" << c.to;
        EXPECT_EQ(form->Grid->cell(DisplayName, form->Grid->row()), std::string(1, c.order[2 * (c.current - 1)]));
        EXPECT_EQ(editorState().modified, c.modified);
        // Each slide keeps its thumbnail index, and the file stays.
        for (int r = 1; r <= 6; ++r)
            EXPECT_EQ(form->Grid->cell(ThumbIndex, r), std::to_string(form->Grid->cell(DisplayName, r)[0] - 'A' + 1));
        EXPECT_TRUE(sim.fs.exists("c:\\app\\7P4S8" + std::to_string(c.from) + ".BMP"));
        expectNumbered();
    }
    value_dialog_test::cancel(sim.user);
    form->mnuMove->click();
    EXPECT_EQ(column(DisplayName), "A B C D E F");
}

TEST_F(SlideList, CdTrack) {
    // No on an empty script: the blank start row stays in front of the track.
    value_dialog_test::Seen seen;
    value_dialog_test::typeAndEnter(sim.user, "7", &seen);
    sim.user.answer("Replace current slide?", ModalResult::No);
    form->BtnCD->click();
    EXPECT_EQ(seen.caption, "CD Audio Track Selection");
    EXPECT_EQ(seen.min, 1);
    EXPECT_EQ(seen.max, 99);
    EXPECT_EQ(seen.position, 1);
    EXPECT_EQ(form->Grid->rowCount(), 3);
    EXPECT_EQ(form->Grid->cell(FilePath, 1), "");
    EXPECT_EQ(form->Grid->row(), 2);
    const std::string B = BlankMarker;
    EXPECT_EQ(form->Grid->rowCells(2),
              (std::vector<std::string>{"2", B, "7", "", "CD Track: 7", B, B, "0", B, B, B, B, B, B, "-", B}));
    EXPECT_EQ(form->Fullname->caption(), "CD Track: 7");
    EXPECT_TRUE(editorState().modified);
    // Yes replaces the current slide; the typed value is kept within 1 to 99.
    editorState().modified = false;
    form->Grid->setRow(1);
    value_dialog_test::typeAndEnter(sim.user, "250");
    sim.user.answer("Replace current slide?", ModalResult::Yes);
    form->BtnCD->click();
    EXPECT_EQ(form->Grid->rowCount(), 3);
    EXPECT_EQ(form->Grid->cell(DisplayName, 1), "CD Track: 99");
    EXPECT_TRUE(editorState().modified);
    // Cancelled: nothing, and the flag is left alone.
    editorState().modified = false;
    value_dialog_test::cancel(sim.user);
    form->BtnCD->click();
    EXPECT_EQ(form->Grid->rowCount(), 3);
    EXPECT_FALSE(editorState().modified);
}

TEST_F(SlideList, FindByPartOfThePath) {
    letters(2);
    add("c:\\trip\\beach.bmp", &TEditorForm::SetUpGraphic);
    add("c:\\trip\\dune.bmp", &TEditorForm::SetUpGraphic);
    form->Grid->setRow(1);
    // A folder name matches every slide in it; Yes goes on to the next, then the end.
    sim.user.answer("Find next matching slide?", ModalResult::Yes);
    sim.user.answer("Find next matching slide?", ModalResult::Yes);
    sim.user.answer("Search done.", ModalResult::OK);
    find("TRIP");
    EXPECT_EQ(form->Grid->row(), 4);
    // The word is kept in lower case and offered next time, also by a new editor window.
    form = std::make_unique<TEditorForm>();
    letters(2);
    add("c:\\trip\\beach.bmp", &TEditorForm::SetUpGraphic);
    form->Grid->setRow(1);
    std::string preset;
    sim.user.answer("Find next matching slide?", ModalResult::No);
    find("Each", &preset);
    EXPECT_EQ(preset, "trip");
    EXPECT_EQ(form->Grid->row(), 3);
    EXPECT_EQ(editorState().SearchWord, "each");
    // No match; an empty word matches nothing.
    sim.user.answer("No match found.\nSearch word: zzz", ModalResult::OK);
    find("zzz");
    // Cancel: nothing asked, the word kept.
    sim.user.onModal("InputBox", [this](kv::Form& f) { sim.user.pressKeyIn(f, "Value", kv::vk::Escape); });
    form->BtnFind->click();
    EXPECT_EQ(editorState().SearchWord, "zzz");
    sim.user.answer("No match found.\nSearch word: ", ModalResult::OK);
    find("");
    EXPECT_EQ(form->Grid->row(), 3);
    EXPECT_FALSE(editorState().modified);
}

TEST_F(SlideList, GoToAndRowDrag) {
    letters(5);
    value_dialog_test::Seen seen;
    value_dialog_test::typeAndEnter(sim.user, "4", &seen);
    form->mnuGotoSlide->click();
    EXPECT_EQ(seen.caption, "Go to Slide");
    EXPECT_EQ(seen.max, 5);
    EXPECT_EQ(seen.position, 1);
    EXPECT_EQ(form->Grid->row(), 4);
    value_dialog_test::cancel(sim.user);
    form->mnuGotoSlide->click();
    EXPECT_EQ(form->Grid->row(), 4);
    EXPECT_FALSE(editorState().modified);
    // A row dragged by its number cell: the numbers follow the rows' new places.
    form->Grid->moveRow(1, 4);
    EXPECT_EQ(column(DisplayName), "B C D A E");
    expectNumbered();
    EXPECT_TRUE(editorState().modified);  // a new order to save: closing asks
}

TEST_F(SlideList, SortByNameDateAndSize) {
    letters(4);  // A B C D with files c:\pics\A.bmp …
    // Name: ascending by display name, without regard to case; tags cleared; unmodified: no question.
    form->Grid->setCell(DisplayName, 1, "d");
    form->Grid->setCell(DisplayName, 3, "a");
    form->Grid->setCell(Tag, 2, "X");
    form->mnuSortName->click();
    EXPECT_EQ(column(DisplayName), "a B d D");
    EXPECT_EQ(column(Tag), "   ");
    EXPECT_EQ(column(ThumbIndex), "3 2 1 4");
    expectNumbered();
    EXPECT_TRUE(editorState().modified);  // a new order to save: closing asks
    // A sort that finds the order as it is changes nothing.
    editorState().modified = false;
    form->mnuSortName->click();
    EXPECT_EQ(column(DisplayName), "a B d D");
    EXPECT_FALSE(editorState().modified);

    // Size and date: existing files by their size or stamp; missing files first; a CD track
    // (blank marker) after them; a tagged missing file last.
    form = std::make_unique<TEditorForm>();
    file("c:\\pics\\big.bmp", std::string(3000, 'b'));
    file("c:\\pics\\mid.bmp", std::string(200, 'm'));
    file("c:\\pics\\small.bmp", std::string(10, 's'));
    using namespace std::chrono;
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(sim.fs.hostPath("c:\\pics\\big.bmp"), now - hours(48));
    std::filesystem::last_write_time(sim.fs.hostPath("c:\\pics\\small.bmp"), now - hours(24));
    std::filesystem::last_write_time(sim.fs.hostPath("c:\\pics\\mid.bmp"), now);
    for (const char* p : {"c:\\pics\\big.bmp", "c:\\pics\\gone.bmp", "c:\\pics\\small.bmp", "c:\\pics\\tagged.bmp",
                          "c:\\pics\\mid.bmp"})
        add(p, &TEditorForm::SetUpGraphic);
    form->Grid->setCell(Tag, 4, "X");
    add(BlankMarker, &TEditorForm::SetUpAudio);
    form->EnableControls();
    editorState().modified = true;
    sim.user.answer("Slide order will be rearranged.  Continue?", ModalResult::No);
    form->mnuSortSize->click();
    EXPECT_EQ(column(DisplayName), "big.bmp gone.bmp small.bmp tagged.bmp mid.bmp ");
    sim.user.answer("Slide order will be rearranged.  Continue?", ModalResult::Yes);
    form->mnuSortSize->click();
    EXPECT_EQ(column(DisplayName), "gone.bmp  small.bmp mid.bmp big.bmp tagged.bmp");
    EXPECT_EQ(column(Tag), " " + BlankMarker + "    ");
    expectNumbered();
    editorState().modified = false;
    form->Tab->setPageIndex(1);
    form->mnuSortDate->click();
    EXPECT_EQ(form->Tab->pageIndex(), 0);
    // The size sort cleared the tag: the missing file's key is empty now.
    EXPECT_EQ(column(DisplayName), "gone.bmp tagged.bmp  big.bmp small.bmp mid.bmp");
    EXPECT_TRUE(editorState().modified);
}

TEST_F(SlideList, SortBySizeOfManySlidesInOneFolder) {
    // From 64 slides in a folder on, the sizes come from one listing of the folder.
    for (int i = 0; i < 70; ++i) {
        const std::string path = "c:\\pics\\Picture number " + std::to_string(i) + ".bmp";
        file(path, std::string(static_cast<size_t>(1 + (i * 37) % 70), 'p'));
        add(kv::lower(kv::GetShortPath(path)), &TEditorForm::SetUpGraphic);
    }
    form->EnableControls();
    editorState().modified = false;
    form->mnuSortSize->click();
    for (int r = 1; r <= 70; ++r) {
        const std::string& path = form->Grid->cell(FilePath, r);
        EXPECT_EQ(sim.fs.findEntry(path)->size, static_cast<uint64_t>(r)) << path;
    }
}

}  // namespace
