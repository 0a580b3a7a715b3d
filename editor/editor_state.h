// Module state of the slide editor: what outlives one editor window for as long as the
// library stays loaded, and what the window's procedures share.
#pragma once
#include <string>
#include <vector>

namespace kv::editor {

inline const std::string BlankMarker = "------------------------------";  // 30 hyphens

// Slide table columns.
enum Col : int {
    SlideNo = 0, FilePath = 1, Param = 2, ColorValue = 3, DisplayName = 4, UseColor = 5,
    EffectName = 6, Wait = 7, HorzPos = 8, VertPos = 9, Gamma = 10, Zoom = 11, Volume = 12,
    Speed = 13, ThumbIndex = 14, Tag = 15, ColumnCount = 16,
};

struct EditorState {
    std::string captionPrefix = "Kavrin Slide Editor";
    std::string CurrentScript;
    std::string TempScript;
    std::string AppDir;
    std::string ScriptTitle;
    std::string CatalogId;
    bool modified = false;
    bool globalMode = false;
    bool keyboardPopup = false;
    int popupX = 0, popupY = 0;  // screen point where the next popup menu opens
    int CatRows = 4;
    int CatColumns = 8;
    int CatPageSize = 32;
    std::vector<std::string> DirectoryTable;
    // Catalogue view: a drag in the view, its auto-scroll direction (-1, 0, +1), the focus
    // frame and the cell it belongs to, and the slides of a pending move.
    bool Dragging = false;
    int AutoScroll = 0;
    bool FrameShown = false;
    int FrameCellC = 0, FrameCellQ = 0;
    int DragSource = 0, DragTarget = 0;
    // The last word searched for, in lower case; kept from one opening of the editor to the
    // next. Whether a slide was tagged when the erase last looked.
    std::string SearchWord;
    bool AnyTagged = false;
};

// The one editor state of the library; tests reset it with `editorState() = EditorState{}`.
EditorState& editorState();

// Library start-up defaults of the editor module.
void setDefaults();

}  // namespace kv::editor
