// State of one explorer instance. The modeless window (RemoteWin95) has the module's own,
// state(); every dialog (RemoteDlg95) has one of its own for as long as it runs, so that a
// dialog opened while the window is open leaves the window's state as it was.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "framework/controls.h"

namespace kv::explorer {

class TFileForm;

struct ExplorerState {
    TFileForm* form = nullptr;  // the instance's form
    bool open = false;          // set once the form is built and listed; cleared when it closes
    uintptr_t hostWindow = 0;   // receives the notifications of the modeless window
    bool dialog = false;        // a dialog's state (RemoteDlg95)
    int32_t mode = 999;         // dialog mode; 999 for the modeless window
    bool convert = false;       // dialog mode argument was 101..200
    int32_t option = 0;         // second argument of RemoteDlg95
    bool rememberRect = false;  // second argument of RemoteWin95 was non-zero
    bool building = false;      // the form is being created; suppresses listing
    bool lookBusy = false;      // guards the drive/folder box against re-entry
    int columnWidth = 0;        // pixel width of one list column

    std::string listFile = "c:\\kavrin.tmp";  // Win95Tmp: the selection list file
    std::string startFolder;                  // LastDir, or SavePath in save modes
    std::string proposedName;                 // SaveAs in save modes
    std::string mask;                         // the file masks in force
    std::array<int32_t, 64> formatCodes{};    // code of each save-format row
    int32_t formatCode = 0;                   // code of the selected row
    // Remembered rows of the colour depths 1, 4, 8, 16, 24 (Save1 ... Save24).
    int32_t row1 = 5, row4 = 0, row8 = 9, row16 = 2, row24 = 5;
    // Recorded when the form opens, for "Reset window".
    Font defaultFont;
    int defaultWidth = 0, defaultHeight = 0;

    bool operator==(const ExplorerState&) const = default;

    // The remembered row of a colour depth (nullptr for any other mode).
    int32_t* rememberedRow(int depth);
};

// The modeless window's state: the one the window's exports reach.
ExplorerState& state();

// The defaults the explorer starts with when the library loads.
void setDefaults();

// Save modes (0, 1, 4, 8, 16, 24; the convert modes decode to 1..24) and colour depths.
bool isSaveMode(int32_t mode);
bool isDepth(int32_t mode);

// Notification message to the host window and its codes.
constexpr uint32_t MsgExplorer = 0x911;
constexpr intptr_t NotifyOpenOne = 0x909;
constexpr intptr_t NotifyOpenList = 0x910;
constexpr intptr_t NotifyActivated = 17;
constexpr intptr_t NotifyInfo = 0x901;
constexpr intptr_t NotifyPreview = 0x903;
constexpr intptr_t NotifyDelete = 0x904;
constexpr intptr_t NotifySlideshow = 0x907;
constexpr intptr_t NotifyConvert = 0x908;

}  // namespace kv::explorer
