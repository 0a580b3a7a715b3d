// The catalogue view of the thumbnails page: a page of cells, one per slide, each with the
// slide's thumbnail centred in 64 x 64 and its name under it; paging, picking a slide with
// the mouse, the focus frame that follows the mouse, and drag and drop with auto-scroll.
//
// Cell (c, q) of a page has its origin at (74c + 2, 80q + 2); the page shows the slides from
// the scroll bar's position on, left to right, top to bottom.
#include <algorithm>
#include <exception>

#include "editor/editor_form.h"
#include "framework/error.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv::editor {

namespace {

constexpr int kPitchX = 74, kPitchY = 80;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRedRef = 0x0000FF;  // COLORREF of RGB 255, 0, 0
constexpr int kCaptionChars = 12;

int cellX(int c) { return kPitchX * c + 2; }
int cellY(int q) { return kPitchY * q + 2; }

// The slide's name as its cell shows it.
std::string cellCaption(const std::string& name) {
    return static_cast<int>(name.size()) > kCaptionChars ? copy(name, 1, kCaptionChars) + ".." : name;
}

Font viewFont() {
    Font f;
    f.name = "Arial";
    f.size = 8;
    f.pixelsPerInch = 96;
    f.bold = false;
    f.color = kBlack;
    return f;
}

}  // namespace

void TEditorForm::buildCatalog() {
    Image2->setFont(viewFont());
    Image2->setColor(kWhite);
    Image2->onMouseDown = [this](Control* s, MouseButton b, unsigned sh, int x, int y) { Image2MouseDown(s, b, sh, x, y); };
    Image2->onMouseMove = [this](Control* s, MouseButton b, unsigned sh, int x, int y) { Image2MouseMove(s, b, sh, x, y); };
    Image2->onMouseUp = [this](Control* s, MouseButton b, unsigned sh, int x, int y) { Image2MouseUp(s, b, sh, x, y); };
    Image2->onMouseCaptureLost = [this](Control*) {
        // Only a drag is cancelled: the right button's slide menu takes the mouse too.
        if (editorState().Dragging) EndCatalogDrag();
    };
    CatScroll->onMouseDown = [this](Control* s, MouseButton b, unsigned sh, int x, int y) { CatScrollMouseDown(s, b, sh, x, y); };
    BtnCatalog->onClick = [this](Control* s) { BtnCatalogClick(s); };
    BtnKillCat->onClick = [this](Control* s) { BtnKillCatClick(s); };
    mnuContactSheet->onClick = [this](Control* s) { mnuContactSheetClick(s); };
    Timer1 = std::make_unique<Timer>("Timer1", 500);
    Timer1->onTimer = [this](Timer* t) { Timer1Timer(t); };
    Timer1->setEnabled(true);
}

std::string TEditorForm::ThumbnailFile(int row) const {
    // A slide without an index has no thumbnail: "-" (not a picture) or none given yet would
    // name a file that belongs to no slide (the catalogue id alone, or an id and "-"). Nor has
    // a script without a catalogue id (one whose new id waits for the next save): its names
    // would be the bare indices, "1.BMP", files of anyone in the host's folder.
    const std::string& index = Grid->cell(ThumbIndex, row);
    const EditorState& st = editorState();
    if (index.empty() || index == "-" || st.CatalogId.empty()) return {};
    return st.AppDir + st.CatalogId + index + ".BMP";
}

// ---- drawing ---------------------------------------------------------------------------

void TEditorForm::UpdateCatalogView(int first) {
    EditorState& st = editorState();
    st.FrameShown = false;  // the redraw removes the frame; the cell it belonged to is kept
    PixelMap& view = Image2->picture();
    if (view.empty()) view.resize(Image2->width(), Image2->height(), kWhite);
    const int n = Grid->rowCount() - 1;
    FileSystemPort& fs = *ports().fs;
    PixelMap thumb;  // the hidden picture holder each thumbnail is loaded into
    std::string bytes;
    for (int k = 0; k < st.CatPageSize; ++k) {
        const int s = first + k;
        const int x = cellX(k % st.CatColumns), y = cellY(k / st.CatColumns);
        if (s < 1 || s > n) {
            view.fillRect(x, y, x + 69, y + 79, kWhite);
            continue;
        }
        view.fillRect(x - 2, y - 2, x + 72, y + 80, kWhite);
        // One read per thumbnail; only a file that is there and cannot be read is an error.
        const std::string file = ThumbnailFile(s);
        bool loaded = !file.empty() && fs.readFile(file, bytes);
        if (!loaded && !file.empty() && fs.exists(file) && !fs.isDirectory(file)) {
            Image2->invalidate();  // what was drawn shows; the cells after it stay as they were
            throw Error("Cannot open file " + file);
        }
        if (loaded) {
            try {
                thumb = decodeBitmap(bytes);
            } catch (...) {
                Image2->invalidate();
                throw;
            }
            view.draw(thumb, x + 2 + (64 - thumb.width) / 2, y + 2 + (64 - thumb.height) / 2);
        } else {
            Image2->textOut(x + 4, y + 32, "No Preview", kBlack);
        }
        Image2->textOut(x, y + 65, cellCaption(Grid->cell(DisplayName, s)), Grid->cell(Tag, s) == "X" ? kRedRef : kBlack);
    }
    Image2->invalidate();
}

void TEditorForm::UpdateCatalogTags(int first) {
    const EditorState& st = editorState();
    PixelMap& view = Image2->picture();
    const int n = Grid->rowCount() - 1;
    for (int k = 0; k < st.CatPageSize; ++k) {
        const int s = first + k;
        if (s < 1 || s > n) continue;
        const int x = cellX(k % st.CatColumns), y = cellY(k / st.CatColumns);
        view.fillRect(x, y + 68, x + 76, y + 80, kWhite);
        Image2->textOut(x, y + 65, cellCaption(Grid->cell(DisplayName, s)), Grid->cell(Tag, s) == "X" ? kRedRef : kBlack);
    }
    Image2->invalidate();
}

void TEditorForm::UpdateCatalogTags() { UpdateCatalogTags(CatScroll->position()); }

void TEditorForm::UpdatePreview() {
    if (Tab->pageIndex() == 0) return;
    const int n = Grid->rowCount() - 1;
    if (n < CatScroll->position()) CatScroll->setPosition(n);
    CatScroll->setRange(1, n);
    UpdateCatalogView(CatScroll->position());
}

// ---- the focus frame -------------------------------------------------------------------

namespace {

void drawFrame(PixelMap& view, int c, int q, uint32_t color) {
    const int x = cellX(c), y = cellY(q);
    view.frameRect(x, y, x + 68, y + 68, color);
}

// The focus frame leaves the cell it was on (when shown) for cell (c, q).
void moveFocusFrame(EditorState& st, PaintBox& page, int c, int q) {
    PixelMap& view = page.picture();
    if (st.FrameShown) drawFrame(view, st.FrameCellC, st.FrameCellQ, kWhite);
    drawFrame(view, c, q, kBlack);
    st.FrameShown = true;
    st.FrameCellC = c;
    st.FrameCellQ = q;
    page.invalidate();
}

}  // namespace

void eraseFrame(PixelMap& view, int c, int q) { drawFrame(view, c, q, kWhite); }

void TEditorForm::FocusPreview(int c, int q) {
    EditorState& st = editorState();
    if (c == st.FrameCellC && q == st.FrameCellQ) return;  // also when its frame was erased
    moveFocusFrame(st, *Image2, c, q);
}

// ---- the mouse -------------------------------------------------------------------------

void TEditorForm::Image2MouseDown(Control*, MouseButton button, unsigned, int x, int y) {
    EditorState& st = editorState();
    if (st.Dragging) return;
    if (button == MouseButton::Left) st.Dragging = true;
    const int q = y / kPitchY;
    const int c = std::min(x / kPitchX, st.CatColumns - 1);
    const int s = q * st.CatColumns + c + CatScroll->position();
    if (s > CatScroll->maxValue() || s < 1) {  // a blank cell past the last slide
        st.Dragging = false;
        return;
    }
    st.DragSource = s;
    Grid->setRow(s);
    moveFocusFrame(st, *Image2, c, q);
    GridClick(this);
    if (button == MouseButton::Right) {
        ports().user->cursorPos(st.popupX, st.popupY);
        mnuEdit->popup(st.popupX, st.popupY);
    }
}

void TEditorForm::Image2MouseMove(Control*, MouseButton, unsigned, int x, int y) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    if (st.Dragging) {
        if (y < 0 || y > Image2->height()) {
            user.setCursor(CursorKind::NoDrop);
            return;
        }
        if (x < 0 || x >= Image2->width()) {
            user.setCursor(CursorKind::SizeAll);
            st.AutoScroll = 0;
            if (x < 0 && CatScroll->position() > 1) st.AutoScroll = -1;
            if (x > Image2->width() && CatScroll->position() < CatScroll->maxValue()) st.AutoScroll = 1;
            return;
        }
        st.AutoScroll = 0;
        user.setCursor(CursorKind::Drag);
    }
    if (x < 0 || y < 0) return;  // outside the view, where no cell is
    FocusPreview(std::min(x / kPitchX, st.CatColumns - 1), y / kPitchY);
}

void TEditorForm::Image2MouseUp(Control*, MouseButton, unsigned, int x, int y) {
    EditorState& st = editorState();
    bool moveDue = false;
    if (st.Dragging) {
        const int q = y / kPitchY;
        const int c = std::min(x / kPitchX, st.CatColumns - 1);
        st.DragTarget = std::min(q * st.CatColumns + c + CatScroll->position(), CatScroll->maxValue());
        // A release far above or left of the view gives no slide to drop on: row 0 is the
        // table's header.
        moveDue = st.DragTarget != st.DragSource && st.DragTarget >= 1;
    }
    EndCatalogDrag();
    if (moveDue) GridxMove();
}

// The end of a press on the view, dropped or cancelled (the view lost the mouse): no drag,
// no auto-scroll, the default cursor, no focus frame. A cancelled drag moves nothing, and the
// next press picks a slide afresh.
void TEditorForm::EndCatalogDrag() {
    EditorState& st = editorState();
    ports().user->setCursor(CursorKind::Default);
    st.Dragging = false;
    st.AutoScroll = 0;
    if (st.FrameShown) {
        drawFrame(Image2->picture(), st.FrameCellC, st.FrameCellQ, kWhite);
        st.FrameShown = false;
        Image2->invalidate();
    }
}

// ---- scrolling -------------------------------------------------------------------------

void TEditorForm::Timer1Timer(Timer*) {
    EditorState& st = editorState();
    if (st.AutoScroll == 0) return;
    int p = CatScroll->position();
    const int cols = st.CatColumns, max = CatScroll->maxValue();
    if (st.AutoScroll < 0) p = p > cols + 1 ? p - cols : 1;
    else p = p < max - cols ? p + cols : max;
    CatScroll->setPosition(p);
    st.FrameShown = false;
    try {
        UpdateCatalogView(p);
    } catch (const std::exception& e) {
        // A thumbnail that cannot be opened: the box takes the mouse, so the drag ends as
        // cancelled, and the timer stands still while the box is up. One failure, one box.
        Timer1->setEnabled(false);
        EndCatalogDrag();
        ports().user->messageDialog(e.what(), DialogKind::Error, BtnOK);
        if (!closed()) Timer1->setEnabled(true);  // the box's loop may have ended the editor
    }
}

void TEditorForm::CatScrollMouseDown(Control*, MouseButton, unsigned, int, int) {
    CatScroll->setEnabled(false);
    struct Reenable {
        ScrollBar* bar;
        ~Reenable() { bar->setEnabled(true); }
    } reenable{CatScroll};
    UpdateCatalogView(CatScroll->position());
    ui().processMessages();
    Grid->setRow(CatScroll->position());
    GridClick(this);
}

}  // namespace kv::editor
