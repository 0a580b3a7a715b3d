// The explorer's modal file dialog as the other windows call it.
#pragma once
#include <cstdint>
#include <functional>

namespace kv::explorer {

// Modes the editor uses.
constexpr int32_t ModeSaveScript = 0;
constexpr int32_t ModeOpenScript = 254;

// The dialog as the export and the other windows ask for it: the handler a test set when
// there is one, else ShowDialogForm. -1 when the user did not confirm, otherwise 0 or the
// format code of the chosen file type. The dialog writes its choice (`SaveName`) to the
// settings file before it returns.
int32_t RemoteDlg95(int32_t mode, int32_t option);

// Builds the explorer form as a modal dialog and runs it, whatever handler is set; answers
// as RemoteDlg95.
int32_t ShowDialogForm(int32_t mode, int32_t option);
// Opens the modeless window, or shows it again when it is open (RemoteWin95).
void OpenWindow(uintptr_t hostWindow, int32_t rememberRect);

// Replaces the dialog (tests script the user's choice with it); an empty function restores
// the real dialog.
void setRemoteDlgHandler(std::function<int32_t(int32_t mode, int32_t option)> handler);

}  // namespace kv::explorer
