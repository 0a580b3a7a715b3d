// The thumbnails page: drawing a page from thumbnail files, picking and dragging cells,
// auto-scroll, "&Update", "&Kill all" and the contact sheet; and the bitmap files it reads.
#include <gtest/gtest.h>

#include <memory>

#include "editor/catalog_id.h"
#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/error.h"
#include "framework/paint_box.h"
#include "framework/sim/sim_platform.h"
#include "tests/native/editor_test_kit.h"

namespace {

using namespace kv::editor;
using kv::ModalResult;
using kv::MouseButton;
using kv::PixelMap;

constexpr uint32_t White = 0xFFFFFF;

PixelMap solid(int w, int h, uint32_t color) {
    PixelMap m;
    m.resize(w, h, color);
    return m;
}

class Catalog : public editor_test::EditorTest {
protected:
    Catalog() {
        appDir = "c:\\app\\";
        lazyForm = true;
    }
    void SetUp() override {
        EditorTest::SetUp();
        editorState().CatalogId = "7P4S8";
        form = std::make_unique<TEditorForm>();
    }
    // Picture slides named "slide<i>.bmp"; slide i has index i in base 32 when indexed.
    void addPictures(int count, bool indexed = true) {
        for (int i = 1; i <= count; ++i) {
            int r = editor_test::appendSlide(*form, "c:\\p\\slide" + std::to_string(i) + ".bmp", &TEditorForm::SetUpGraphic);
            if (indexed) form->Grid->setCell(ThumbIndex, r, StripLeadingZeros(EncodeBase32(static_cast<uint32_t>(i))));
        }
        form->EnableControls();
    }
    void thumbnail(const std::string& index, const PixelMap& m) {
        sim.writeFile("c:\\app\\7P4S8" + index + ".BMP", kv::encodeBitmap(m));
    }
    void showPage() {
        sim.painter.texts.clear();
        form->Tab->setPageIndex(1);
    }
    const PixelMap& view() { return form->Image2->picture(); }
    std::vector<std::string> slideNames() { return column(DisplayName); }
    // Texts drawn at a cell's caption place, in order.
    std::vector<kv::DrawnText> captions() {
        std::vector<kv::DrawnText> v;
        for (const auto& t : sim.painter.texts)
            if ((t.y - 2) % 80 == 65) v.push_back(t);
        return v;
    }
    void press(MouseButton b, int x, int y) { form->Image2->mouseDown(b, 0, x, y); }
    void release(int x, int y) { form->Image2->mouseUp(MouseButton::Left, 0, x, y); }
    void move(int x, int y) { form->Image2->mouseMove(kv::LeftButton, x, y); }
};

TEST_F(Catalog, FiveSlidesOnAPageOf32CellsDrawFiveCellsAnd27BlankBoxes) {
    addPictures(5);
    thumbnail("1", solid(64, 64, 0x00FF00));
    form->Grid->setRow(1);
    showPage();
    EXPECT_EQ(view().width, 603);
    EXPECT_EQ(view().height, 333);
    EXPECT_EQ(editorState().CatPageSize, 32);
    auto caps = captions();
    ASSERT_EQ(caps.size(), 5u);
    EXPECT_EQ(caps[0].text, "slide1.bmp");
    EXPECT_EQ(caps[4].x, 74 * 4 + 2);
    int noPreview = 0;
    for (const auto& t : sim.painter.texts) noPreview += t.text == "No Preview";
    EXPECT_EQ(noPreview, 4);  // slides 2 to 5 have no thumbnail file
    EXPECT_EQ(view().pixel(4, 4), 0x00FF00u);

    // Cells 6 to 32 are blank boxes; a press in one selects nothing and starts no drag.
    sim.painter.texts.clear();
    form->Grid->setRow(2);
    form->Tab->setPageIndex(0);
    form->Image2->picture().fillRect(0, 0, 603, 333, 0);  // what an earlier page left
    form->Tab->setPageIndex(1);
    for (int k = 5; k < 32; ++k) {
        int x = 74 * (k % 8) + 2, y = 80 * (k / 8) + 2;
        EXPECT_EQ(view().pixel(x + 30, y + 30), White) << k;
    }
    form->Grid->setRow(3);
    press(MouseButton::Left, 74 * 6 + 20, 80 * 2 + 20);
    EXPECT_FALSE(editorState().Dragging);
    EXPECT_EQ(form->Grid->row(), 3);
    EXPECT_FALSE(editorState().FrameShown);
    press(MouseButton::Right, 74 * 5 + 5, 5);
    EXPECT_TRUE(sim.user.popups.empty());
}

TEST_F(Catalog, ThumbnailCentredCaptionCutAndTagColour) {
    addPictures(2);
    form->Grid->setCell(DisplayName, 2, "Holiday at the beach.jpg");
    thumbnail("2", solid(48, 32, 0x0000FF));
    form->Grid->setRow(1);
    showPage();
    const int x = 74 + 2, y = 2;  // cell 1
    EXPECT_EQ(view().pixel(x + 10, y + 18), 0x0000FFu);
    EXPECT_EQ(view().pixel(x + 57, y + 49), 0x0000FFu);
    EXPECT_EQ(view().pixel(x + 9, y + 18), White);
    EXPECT_EQ(view().pixel(x + 10, y + 17), White);
    EXPECT_EQ(view().pixel(x + 58, y + 49), White);
    EXPECT_EQ(view().pixel(x + 57, y + 50), White);
    auto caps = captions();
    ASSERT_EQ(caps.size(), 2u);
    EXPECT_EQ(caps[1].text, "Holiday at t..");
    EXPECT_EQ(caps[1].color, 0u);

    // Tagging redraws the captions only: red for the tagged slide, black again when untagged.
    form->Grid->setRow(2);
    sim.painter.texts.clear();
    form->BtnTag->click();
    caps = captions();
    ASSERT_EQ(caps.size(), 2u);
    EXPECT_EQ(caps[1].color, 0x0000FFu);
    EXPECT_EQ(caps[0].color, 0u);
    EXPECT_EQ(sim.painter.texts.size(), 2u);  // no "No Preview": pictures are not touched
    EXPECT_EQ(view().pixel(x + 10, y + 18), 0x0000FFu);
    sim.painter.texts.clear();
    form->BtnTag->click();
    EXPECT_EQ(captions()[1].color, 0u);
}

TEST_F(Catalog, ADamagedThumbnailIsAnErrorAndLeavesTheCellsAfterItUndrawn) {
    addPictures(3);
    sim.writeFile("c:\\app\\7P4S82.BMP", "BM not really a bitmap");
    form->Grid->setRow(1);
    EXPECT_THROW(showPage(), kv::Error);
    EXPECT_EQ(captions().size(), 1u);
}

TEST_F(Catalog, PressSelectsTheSlideOfTheCellAndTheRightButtonOpensTheSlideMenu) {
    addPictures(40);
    form->Grid->setRow(9);
    showPage();
    ASSERT_EQ(form->CatScroll->position(), 9);
    press(MouseButton::Left, 74 * 2 + 10, 80 + 10);  // cell (2, 1)
    EXPECT_EQ(form->Grid->row(), 19);
    EXPECT_EQ(editorState().DragSource, 19);
    EXPECT_TRUE(editorState().FrameShown);
    EXPECT_EQ(view().pixel(74 * 2 + 2, 80 + 2), 0u);  // the frame's corner
    EXPECT_EQ(view().pixel(74 * 2 + 2 + 67, 80 + 2 + 67), 0u);
    release(74 * 2 + 10, 80 + 10);  // dropped where it was taken: no move
    EXPECT_EQ(form->Grid->cell(DisplayName, 19), "slide19.bmp");
    EXPECT_EQ(view().pixel(74 * 2 + 2, 80 + 2), White);  // the frame is erased
    EXPECT_FALSE(editorState().Dragging);

    // The frame follows the mouse without a drag; a press past the last column's right edge
    // counts as the last column.
    move(5, 5);
    EXPECT_EQ(view().pixel(2, 2), 0u);
    move(74 * 3 + 5, 5);
    EXPECT_EQ(view().pixel(2, 2), White);
    EXPECT_EQ(view().pixel(74 * 3 + 2, 2), 0u);
    sim.user.mouseX = 300;
    sim.user.mouseY = 200;
    press(MouseButton::Right, 600, 5);
    EXPECT_EQ(form->Grid->row(), 16);
    EXPECT_FALSE(editorState().Dragging);
    EXPECT_EQ(sim.user.popups, std::vector<std::string>{"mnuEdit"});
    EXPECT_EQ(sim.user.popupX, 300);
}

TEST_F(Catalog, DraggingACellOntoAnotherMovesTheSlide) {
    addPictures(8);
    form->Grid->setRow(1);
    showPage();
    auto cell = [](int k) { return std::pair<int, int>{74 * (k % 8) + 20, 80 * (k / 8) + 20}; };
    // Slide 3 onto slide 4: the neighbours are exchanged, and the script is modified (a
    // close asks before the new order is lost).
    editorState().modified = false;
    press(MouseButton::Left, cell(2).first, cell(2).second);
    move(cell(3).first, cell(3).second);
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Drag);
    release(cell(3).first, cell(3).second);
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Default);
    EXPECT_EQ(slideNames()[2], "slide4.bmp");
    EXPECT_EQ(slideNames()[3], "slide3.bmp");
    EXPECT_TRUE(editorState().modified);
    EXPECT_EQ(form->Grid->row(), 4);

    // Slide 3 (now slide4.bmp) onto slide 7: it lands at 6, before the slide that was 7.
    press(MouseButton::Left, cell(2).first, cell(2).second);
    release(cell(6).first, cell(6).second);
    EXPECT_EQ(slideNames(), (std::vector<std::string>{"slide1.bmp", "slide2.bmp", "slide3.bmp", "slide5.bmp",
                                                      "slide6.bmp", "slide4.bmp", "slide7.bmp", "slide8.bmp"}));
    EXPECT_TRUE(editorState().modified);
    EXPECT_EQ(form->Grid->row(), 7);
    for (int r = 1; r <= 8; ++r) EXPECT_EQ(form->Grid->cell(SlideNo, r), std::to_string(r));
    EXPECT_EQ(captions().back().text, "slide8.bmp");  // the page was redrawn in the new order

    // A drop past the last slide goes to the last; one far above the view moves nothing.
    press(MouseButton::Left, cell(0).first, cell(0).second);
    release(cell(20).first, cell(20).second);
    EXPECT_EQ(slideNames()[6], "slide1.bmp");
    auto before = slideNames();
    press(MouseButton::Left, cell(1).first, cell(1).second);
    release(-500, -200);
    EXPECT_EQ(slideNames(), before);
    EXPECT_EQ(form->Grid->cell(SlideNo, 0), "N");
}

TEST_F(Catalog, HoldingADragBesideTheViewScrollsOneRowPerTick) {
    addPictures(40);
    form->Grid->setRow(17);
    showPage();
    ASSERT_EQ(sim.painter.running.size(), 1u);
    EXPECT_EQ(form->Timer1->interval(), 500);
    press(MouseButton::Left, 10, 10);
    move(-5, 100);
    EXPECT_EQ(editorState().AutoScroll, -1);
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::SizeAll);
    form->Timer1->tick();
    EXPECT_EQ(form->CatScroll->position(), 9);
    form->Timer1->tick();
    EXPECT_EQ(form->CatScroll->position(), 1);
    form->Timer1->tick();
    EXPECT_EQ(form->CatScroll->position(), 1);
    move(-5, 100);  // at position 1 there is nothing more to the left
    EXPECT_EQ(editorState().AutoScroll, 0);

    move(700, 100);
    EXPECT_EQ(editorState().AutoScroll, 1);
    for (int i = 0; i < 6; ++i) form->Timer1->tick();
    EXPECT_EQ(form->CatScroll->position(), 40);
    // Above or below the view: the no-drop cursor, and the scrolling stays as it was.
    move(100, -3);
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::NoDrop);
    EXPECT_EQ(editorState().AutoScroll, 1);
    move(100, 100);
    EXPECT_EQ(editorState().AutoScroll, 0);
    release(100, 100);
    form->Timer1->tick();
    EXPECT_EQ(form->CatScroll->position(), 40);
    form.reset();
    EXPECT_TRUE(sim.painter.running.empty());
}

// A drag ends as cancelled when the view loses the mouse (another window takes it, the user
// switches windows): no more scrolling, and the next plain click picks, it moves nothing.
// A thumbnail that cannot be opened while the drag scrolls gives one box, with the timer
// standing still while it is up, and ends the drag the same way.
TEST_F(Catalog, ADragThatLosesTheMouseOrMeetsABadThumbnailEndsAndMovesNothing) {
    addPictures(60);
    form->Grid->setRow(1);
    showPage();
    editorState().modified = false;
    const auto order = slideNames();
    press(MouseButton::Left, 10, 10);  // slide 1
    move(700, 100);
    form->Timer1->tick();
    ASSERT_EQ(form->CatScroll->position(), 9);
    form->Image2->mouseCaptureLost();
    EXPECT_FALSE(editorState().Dragging);
    EXPECT_EQ(editorState().AutoScroll, 0);
    EXPECT_EQ(sim.user.cursor(), kv::CursorKind::Default);
    form->Timer1->tick();
    EXPECT_EQ(form->CatScroll->position(), 9);
    press(MouseButton::Left, 74 * 3 + 10, 10);  // a plain click on slide 12
    release(74 * 3 + 10, 10);
    EXPECT_EQ(form->Grid->row(), 12);
    EXPECT_EQ(slideNames(), order);
    EXPECT_FALSE(editorState().modified);
    // The capture a right-button press loses to its slide menu is no drag.
    press(MouseButton::Right, 74 * 4 + 10, 10);
    form->Image2->mouseCaptureLost();
    EXPECT_EQ(form->Grid->row(), 13);

    const std::string bad = "BM not really a bitmap";
    sim.writeFile("c:\\app\\7P4S8" + StripLeadingZeros(EncodeBase32(45)) + ".BMP", bad);
    std::string text;
    try {
        kv::decodeBitmap(bad);
    } catch (const kv::Error& e) {
        text = e.what();
    }
    ASSERT_FALSE(text.empty());
    sim.user.answer(text, ModalResult::OK);
    int boxes = 0, whileRunning = 0;
    sim.user.whileDialogUp = [&](const std::string&) {
        ++boxes;
        whileRunning += form->Timer1->enabled() ? 1 : 0;
        form->Timer1->tick();  // the box's loop delivers the next period
    };
    press(MouseButton::Left, 10, 10);  // slide 9
    move(700, 100);
    for (int i = 0; i < 4; ++i) form->Timer1->tick();  // the page from 17 shows slide 45
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(whileRunning, 0);
    EXPECT_TRUE(form->Timer1->enabled());  // running again after the box
    EXPECT_EQ(form->CatScroll->position(), 17);
    EXPECT_FALSE(editorState().Dragging);
    release(10, 10);
    EXPECT_EQ(slideNames(), order);
}

TEST_F(Catalog, ScrollBarPressDrawsFromItsPositionAndSelectsThatSlide) {
    addPictures(100);
    form->Grid->setRow(1);
    showPage();
    sim.painter.texts.clear();
    form->CatScroll->userClick(50);
    EXPECT_EQ(form->Grid->row(), 50);
    EXPECT_TRUE(form->CatScroll->enabled());
    EXPECT_EQ(captions().front().text, "slide50.bmp");
}

TEST_F(Catalog, UpdateGivesIndicesAcrossTenSavesAndEndsWithResult1) {
    addPictures(3, false);
    form->Grid->setCell(ThumbIndex, 1, "U");  // 30
    editor_test::appendSlide(*form, "c:\\p\\clip.avi", &TEditorForm::SetUpAVI);
    editorState().modified = false;
    std::vector<std::pair<int32_t, int32_t>> asked;
    kv::explorer::setRemoteDlgHandler([&](int32_t mode, int32_t option) {
        asked.emplace_back(mode, option);
        editor_test::setSetting("SaveName", "c:\\scripts\\show.avl");
        return 0;
    });
    sim.fs.createDirectory("c:\\scripts");
    form->BtnCatalog->click();
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 2), "V");
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 3), "10");
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 4), "-");
    EXPECT_EQ(editor_test::setting("AVLidx"), "33");
    EXPECT_EQ(asked, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}}));
    EXPECT_NE(sim.readFile("c:\\scripts\\show.avl").find("T=10"), std::string::npos);
    EXPECT_EQ(form->modalResult(), ModalResult::OK);
}

TEST_F(Catalog, UpdateCases) {
    kv::explorer::setRemoteDlgHandler([](int32_t, int32_t) { return -1; });
    // Everything indexed and saved: the editor ends at once, nothing asked.
    addPictures(2);
    editorState().modified = false;
    form->BtnCatalog->click();
    EXPECT_EQ(form->modalResult(), ModalResult::OK);
    EXPECT_EQ(editor_test::setting("AVLidx"), "3");

    // Three new slides, largest "A", AVLidx 0: B, C, D and AVLidx 14; a cancelled save
    // leaves the editor open with the changes.
    form->setModalResult(ModalResult::None);
    form->SetUpClear();
    addPictures(4, false);
    form->Grid->setCell(ThumbIndex, 1, "A");
    editor_test::setSetting("AVLidx", "0");
    form->BtnCatalog->click();
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 4), "D");
    EXPECT_EQ(editor_test::setting("AVLidx"), "14");
    EXPECT_TRUE(editorState().modified);
    EXPECT_EQ(form->modalResult(), ModalResult::None);

    // A counter above 32760, even the largest integer: the question; No changes nothing.
    for (int r = 2; r <= 4; ++r) form->Grid->setCell(ThumbIndex, r, "");
    editor_test::setSetting("AVLidx", "2147483647");
    const std::string q = "New thumbnails and indices will be required\nfor ALL images in this script.  Continue?";
    sim.user.answer(q, ModalResult::No);
    form->BtnCatalog->click();
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 1), "A");
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 2), "");
    EXPECT_EQ(editor_test::setting("AVLidx"), "2147483647");
    EXPECT_EQ(editorState().CatalogId, "7P4S8");
    // Yes: a new catalogue id at the next save, indices from 1.
    sim.user.answer(q, ModalResult::Yes);
    form->BtnCatalog->click();
    EXPECT_EQ(editorState().CatalogId, "");
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 1), "1");
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 4), "4");
    EXPECT_EQ(editor_test::setting("AVLidx"), "5");
}

TEST_F(Catalog, KillAllDeletesTheThumbnailsOfIndexedSlidesOnly) {
    addPictures(3);
    form->Grid->setCell(ThumbIndex, 3, "");
    editor_test::appendSlide(*form, "c:\\p\\song.wav", &TEditorForm::SetUpAudio);
    thumbnail("1", solid(8, 8, 1));
    thumbnail("2", solid(8, 8, 2));
    sim.writeFile("c:\\app\\7P4S8.BMP", "the host's own file");  // named by the id alone
    sim.writeFile("c:\\app\\7P4S8-.BMP", "another");
    editorState().modified = false;
    const std::string q = "Delete ALL thumbnails for this script?";
    sim.user.answer(q, ModalResult::No);
    form->BtnKillCat->click();
    EXPECT_TRUE(sim.fs.exists("c:\\app\\7P4S81.BMP"));
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 1), "1");

    form->Grid->setRow(1);
    showPage();
    sim.user.answer(q, ModalResult::Yes);
    form->BtnKillCat->click();
    EXPECT_EQ(sim.user.dialogs.back().kind, kv::DialogKind::Warning);
    EXPECT_FALSE(sim.fs.exists("c:\\app\\7P4S81.BMP"));
    EXPECT_FALSE(sim.fs.exists("c:\\app\\7P4S82.BMP"));
    EXPECT_TRUE(sim.fs.exists("c:\\app\\7P4S8.BMP"));
    EXPECT_TRUE(sim.fs.exists("c:\\app\\7P4S8-.BMP"));
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 1), "");
    EXPECT_EQ(form->Grid->cell(ThumbIndex, 4), "-");
    EXPECT_FALSE(editorState().modified);
    EXPECT_EQ(view().pixel(4, 4), White);  // the page was drawn again

    // Indices without a catalogue id (new indices whose save was cancelled) name no files.
    editorState().CatalogId.clear();
    form->Grid->setCell(ThumbIndex, 1, "1");
    sim.writeFile("c:\\app\\1.BMP", "a file of the host's");
    sim.user.answer(q, ModalResult::Yes);
    form->BtnKillCat->click();
    EXPECT_TRUE(sim.fs.exists("c:\\app\\1.BMP"));
}

TEST_F(Catalog, ContactSheetIsTheViewAsAWindowsBitmap) {
    addPictures(3);
    thumbnail("1", solid(64, 64, 0x123456));
    form->Grid->setRow(1);
    showPage();
    std::vector<std::pair<int32_t, int32_t>> asked;
    std::string saveName = "c:\\sheets\\page one.bmp";
    kv::explorer::setRemoteDlgHandler([&](int32_t mode, int32_t option) {
        asked.emplace_back(mode, option);
        editor_test::setSetting("SaveName", saveName);
        return 0;
    });
    sim.fs.createDirectory("c:\\sheets");
    // The right button that opens the slide menu leaves the focus frame on the view; the sheet
    // has the page without it.
    press(MouseButton::Right, 20, 20);
    ASSERT_EQ(view().pixel(2, 30), 0x000000u);
    form->mnuContactSheet->setEnabled(true);
    form->mnuContactSheet->click();
    EXPECT_EQ(asked, (std::vector<std::pair<int32_t, int32_t>>{{0, 1}}));
    PixelMap back = kv::decodeBitmap(sim.readFile(saveName));
    EXPECT_EQ(back.width, 603);
    EXPECT_EQ(back.height, 333);
    PixelMap page = view();
    kv::editor::eraseFrame(page, 0, 0);
    EXPECT_EQ(back.pixels, page.pixels);
    EXPECT_EQ(back.pixel(2, 30), 0xFFFFFFu);
    EXPECT_EQ(view().pixel(2, 30), 0x000000u);

    // A name that cannot be written: the message, nothing else changes.
    saveName = "c:\\missing folder\\sheet.jpg";
    sim.user.answer("Cannot save file.\nsheet.jpg", ModalResult::OK);
    form->mnuContactSheet->click();
    EXPECT_EQ(sim.user.dialogs.back().kind, kv::DialogKind::Error);
    // A new name the dialog left its placeholder under, on a full disk: the placeholder goes.
    sim.fs.mapDrive('D', sim.root() + "/drive-d");
    saveName = "d:\\sheets\\page two.bmp";
    sim.writeFile(saveName, std::string("\0\0\1\0", 4));
    sim.fs.setDriveFull('d', true);
    sim.user.answer("Cannot save file.\npage two.bmp", ModalResult::OK);
    form->mnuContactSheet->click();
    sim.fs.setDriveFull('d', false);
    EXPECT_FALSE(sim.fs.exists(saveName));
    // Cancelled, or no name: nothing is written and nothing is said.
    saveName = "";
    form->mnuContactSheet->click();
    kv::explorer::setRemoteDlgHandler([](int32_t, int32_t) { return -1; });
    form->mnuContactSheet->click();
    EXPECT_EQ(sim.user.dialogs.size(), 2u);
}

// ---- bitmap files --------------------------------------------------------------------------

std::string header(int w, int h, int bpp, uint32_t comp, uint32_t colors, uint32_t dataAt) {
    std::string b = "BM";
    auto p32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i))); };
    auto p16 = [&](uint32_t v) { for (int i = 0; i < 2; ++i) b.push_back(static_cast<char>(v >> (8 * i))); };
    p32(0), p32(0), p32(dataAt), p32(40), p32(static_cast<uint32_t>(w)), p32(static_cast<uint32_t>(h));
    p16(1), p16(static_cast<uint32_t>(bpp)), p32(comp), p32(0), p32(0), p32(0), p32(colors), p32(0);
    return b;
}

TEST(BitmapFile, ReadsTheKindsOfBitmapsAndRefusesOthers) {
    // 24 bits round trip, odd width (row padding).
    PixelMap m;
    m.resize(3, 2, 0);
    m.pixels = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    EXPECT_EQ(kv::decodeBitmap(kv::encodeBitmap(m)).pixels, m.pixels);

    // 8 bits with a palette of 2, bottom-up: the file's first row is the picture's last.
    std::string b8 = header(2, 2, 8, 0, 2, 54 + 8);
    b8 += std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8);  // red, green (blue, green, red, 0)
    b8 += std::string("\x00\x01\x00\x00\x01\x00\x00\x00", 8);
    PixelMap p8 = kv::decodeBitmap(b8);
    EXPECT_EQ(p8.pixels, (std::vector<uint32_t>{0x00FF00, 0xFF0000, 0xFF0000, 0x00FF00}));

    // 1 bit, top-down (negative height).
    std::string b1 = header(9, -1, 1, 0, 2, 54 + 8);
    b1 += std::string("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8);
    b1 += std::string("\x80\x80\x00\x00", 4);
    PixelMap p1 = kv::decodeBitmap(b1);
    EXPECT_EQ(p1.pixel(0, 0), White);
    EXPECT_EQ(p1.pixel(1, 0), 0u);
    EXPECT_EQ(p1.pixel(8, 0), White);

    // 16 bits with 5-6-5 bit fields.
    std::string b16 = header(1, 1, 16, 3, 0, 66);
    b16 += std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12);
    b16 += std::string("\x00\xF8\x00\x00", 4);  // pure red
    EXPECT_EQ(kv::decodeBitmap(b16).pixel(0, 0), 0xFF0000u);

    // Run-length encoded 8 bits: a run of 3, end of line, an absolute run of 3, end.
    std::string rle = header(3, 2, 8, 1, 2, 54 + 8);
    rle += std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8);
    rle += std::string("\x03\x01\x00\x00\x00\x03\x00\x01\x00\x00\x00\x01", 12);
    PixelMap pr = kv::decodeBitmap(rle);
    EXPECT_EQ(pr.pixels, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00}));

    // A header size near 4 GB: the palette would lie past the end of any file. Added to the
    // header's place in 32 bits it comes to the file's first bytes (0xFFFFFFF2), or to an entry
    // whose last byte wraps before the buffer (0xFFFFFFF0).
    for (uint32_t hugeHeader : {0xFFFFFFF2u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        std::string wrap = b8;
        for (int i = 0; i < 4; ++i) wrap[14 + i] = static_cast<char>(hugeHeader >> (8 * i));
        EXPECT_THROW(kv::decodeBitmap(wrap), kv::Error) << std::hex << hugeHeader;
    }

    for (const std::string& bad : {std::string("BM"), std::string("GIF89a and more bytes than a header holds"),
                                   header(100000, 2, 24, 0, 0, 54), header(4, 4, 24, 0, 0, 54),
                                   header(4, 4, 7, 0, 0, 54) + std::string(64, '\0')})
        EXPECT_THROW(kv::decodeBitmap(bad), kv::Error);
}

}  // namespace
