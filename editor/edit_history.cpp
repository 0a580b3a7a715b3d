#include "editor/edit_history.h"

#include <iterator>
#include <utility>

#include "editor/editor_state.h"

namespace kv::editor {

namespace {

size_t heapBytes(const std::string& s) {
    static const size_t inPlace = std::string().capacity();
    return s.capacity() > inPlace ? s.capacity() + 1 : 0;
}

// What a change keeps alive: itself and the texts it holds.
size_t sizeOf(const GridChange& c) {
    size_t n = sizeof(GridChange) + heapBytes(c.text) + c.cells.capacity() * sizeof(std::string);
    for (const std::string& s : c.cells) n += heapBytes(s);
    return n;
}

}  // namespace

EditHistory::EditHistory(StringGrid& grid) : grid_(grid) { grid_.setChangeLog(this); }

EditHistory::~EditHistory() { grid_.setChangeLog(nullptr); }

EditHistory::Step::Step(EditHistory& h, std::string label) : h_(h) { h_.begin(std::move(label)); }

EditHistory::Step::~Step() { h_.end(); }

void EditHistory::begin(std::string label) {
    if (depth_++ > 0) return;
    if (pending_) {  // the row drag this step's handler follows
        pending_ = false;
        return;
    }
    open_ = Record{};
    // Room for two changes a row, what the largest steps (a global change, a sort) make, so
    // that the record is not moved as it grows; a smaller step gives back what it left unused.
    // The room of a step that went is used again when it is enough.
    const size_t room = static_cast<size_t>(grid_.rowCount()) * 2;
    if (spare_.capacity() >= room) open_.changes.swap(spare_);
    else open_.changes.reserve(room);
    open_.label = std::move(label);
    open_.rowBefore = grid_.row();
    open_.topBefore = grid_.topRow();
}

void EditHistory::end() {
    if (depth_ > 0 && --depth_ == 0) keep();
}

// Whether a change is one a step keeps (opening the step of a row drag); a change made outside
// any step could not be taken back in order, so the steps kept go.
bool EditHistory::recording(GridChange::Kind kind, int col) {
    if (applying_) return false;
    if (depth_ > 0 || pending_) return true;
    if (kind == GridChange::Cell && col == Tag) return false;
    if (kind == GridChange::RowMove) {
        begin("move slide");
        --depth_;
        pending_ = true;
        return true;
    }
    reset(false);
    return false;
}

// The commonest change: the replaced text is moved into the step, with no copy.
void EditHistory::cellChanging(int col, int row, std::string& text) {
    if (!recording(GridChange::Cell, col)) return;
    GridChange& c = open_.changes.emplace_back();
    c.row = row;
    c.col = col;
    c.text = std::move(text);
    open_.bytes += sizeof(GridChange) + heapBytes(c.text);
}

void EditHistory::add(GridChange&& change) {
    if (!recording(change.kind, change.col)) return;
    open_.bytes += sizeOf(change);
    open_.changes.push_back(std::move(change));
}

// The open step becomes the last one; what was taken back can no longer be made again, and
// the oldest steps go while there are too many or they hold too much.
void EditHistory::keep() {
    pending_ = false;
    Record r = std::move(open_);
    open_ = Record{};
    if (r.changes.capacity() > 2 * r.changes.size()) {  // the room a small step left goes back
        std::vector<GridChange> fit(std::make_move_iterator(r.changes.begin()), std::make_move_iterator(r.changes.end()));
        r.changes.clear();
        recycle(r);
        r.changes.swap(fit);
    }
    if (r.changes.empty()) return;
    r.bytes += (r.changes.capacity() - r.changes.size()) * sizeof(GridChange);
    r.rowAfter = grid_.row();
    r.topAfter = grid_.topRow();
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes;
        recycle(steps_.back());
        steps_.pop_back();
    }
    if (saved_ > static_cast<long>(done_)) saved_ = kNoSaved;  // only reachable by the redo just dropped
    bytes_ += r.bytes;
    steps_.push_back(std::move(r));
    ++done_;
    while (!steps_.empty() && (steps_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
        bytes_ -= steps_.front().bytes;
        recycle(steps_.front());
        steps_.pop_front();
        --done_;
        saved_ = saved_ > 0 ? saved_ - 1 : kNoSaved;
    }
}

// Keeps the largest record of the steps that go, emptied, for the next step to fill.
void EditHistory::recycle(Record& r) {
    if (r.changes.capacity() <= spare_.capacity()) return;
    r.changes.clear();
    spare_.swap(r.changes);
}

std::string EditHistory::undoLabel() const { return canUndo() ? steps_[done_ - 1].label : std::string(); }

std::string EditHistory::redoLabel() const { return canRedo() ? steps_[done_].label : std::string(); }

void EditHistory::applyRecord(Record& r, bool back) {
    applying_ = true;
    grid_.beginUpdate();
    if (back)
        for (auto it = r.changes.rbegin(); it != r.changes.rend(); ++it) grid_.apply(*it, true);
    else
        for (GridChange& c : r.changes) grid_.apply(c, false);
    grid_.endUpdate();
    applying_ = false;
    grid_.setRow(back ? r.rowBefore : r.rowAfter);
    grid_.setTopRow(back ? r.topBefore : r.topAfter);
}

bool EditHistory::undo() {
    if (pending_) keep();
    if (!canUndo()) return false;
    applyRecord(steps_[--done_], true);
    return true;
}

bool EditHistory::redo() {
    if (pending_) keep();
    if (!canRedo()) return false;
    applyRecord(steps_[done_++], false);
    return true;
}

void EditHistory::drop() {
    const bool saved = atSaved();
    reset(saved);
}

void EditHistory::reset(bool saved) {
    for (Record& r : steps_) recycle(r);
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
    saved_ = saved ? 0 : kNoSaved;
    if (depth_ > 0 || pending_) {
        // A step still open loses what it recorded before: its changes up to here cannot be
        // taken back either.
        open_.changes.clear();
        open_.bytes = 0;
        open_.rowBefore = grid_.row();
        open_.topBefore = grid_.topRow();
    }
}

}  // namespace kv::editor
