// The slide editor's undo and redo: the steps that changed the slide table, each kept as the
// grid's change log gave it (what every change overwrote), with the current row and the top
// row shown before and after it.
//
// Every change of the table reaches the history through the grid's log, so no operation can
// change the table behind it: a change made inside a step belongs to that step; a change
// made outside any step (a load, a file operation, an operation that opens no step) could not
// be taken back in order, so it drops the steps kept. Tag marks are no change of the script:
// toggling them outside a step is not recorded and keeps the steps. A row dragged in the
// table moves before its handler runs: the move opens the step that the handler joins.
#pragma once
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace kv::editor {

class EditHistory final : public GridChangeLog {
public:
    static constexpr size_t kMaxSteps = 100;
    static constexpr size_t kMaxBytes = size_t{32} << 20;

    explicit EditHistory(StringGrid& grid);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // One operation's changes, however many rows they touch, from the making of a Step to
    // its end. Steps opened inside one (an operation that calls another) join it; a step
    // that changed nothing is not kept.
    class Step {
    public:
        Step(EditHistory& h, std::string label);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        EditHistory& h_;
    };

    void cellChanging(int col, int row, std::string& text) override;
    void add(GridChange&& change) override;

    bool canUndo() const { return done_ > 0 && depth_ == 0; }
    bool canRedo() const { return done_ < steps_.size() && depth_ == 0; }
    // What the next undo or redo acts on ("sort by name"); empty when there is none.
    std::string undoLabel() const;
    std::string redoLabel() const;
    // Take the last step back, or make the last step taken back again: its rows, their order,
    // the current row and the top row shown. False when there is none.
    bool undo();
    bool redo();

    // The table now is the script as loaded or saved.
    void markSaved() { saved_ = static_cast<long>(done_); }
    bool atSaved() const { return saved_ == static_cast<long>(done_); }
    // Drops every step (files on disk changed, which no undo can take back). The table as it
    // is now stays the saved state when it was.
    void drop();
    // A new table (loaded or made anew): no steps; `saved` whether it is the saved script.
    void reset(bool saved);

    size_t stepCount() const { return steps_.size(); }
    size_t bytes() const { return bytes_; }

private:
    struct Record {
        std::string label;
        std::vector<GridChange> changes;
        size_t bytes = 0;
        int rowBefore = 1, topBefore = 1, rowAfter = 1, topAfter = 1;
    };
    static constexpr long kNoSaved = -1;

    bool recording(GridChange::Kind kind, int col);
    void begin(std::string label);
    void end();
    void keep();
    void recycle(Record& r);
    void applyRecord(Record& r, bool back);

    StringGrid& grid_;
    std::deque<Record> steps_;
    size_t done_ = 0;     // steps_[0 .. done_) are in the table; the rest were taken back
    size_t bytes_ = 0;    // of every kept step
    long saved_ = 0;      // the value of done_ at which the table is the saved script
    int depth_ = 0;       // open steps
    bool pending_ = false;  // open_ holds a row drag that its handler's step has not joined yet
    Record open_;         // the outermost open step
    std::vector<GridChange> spare_;  // an emptied record of a step that went, for the next
    bool applying_ = false;
};

}  // namespace kv::editor
