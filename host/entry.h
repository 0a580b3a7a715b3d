// The library's sixteen entry points as plain C++ functions, one per export, plus the
// library's start-up. host/win32 wraps each in the exported function of the same name with
// the calling convention a host expects; tests call them directly. Every window module
// defines the entries that belong to its window.
#pragma once
#include <cstdint>

namespace kv::entry {

// Runs once when the library is loaded, after the platform ports are installed: each window
// module sets its start-up defaults, in module order (explorer, print dialog, editor).
void libraryStartup();

// Editor (editor/).
int32_t EditorWin95();

// Explorer window and dialog (explorer/).
void RemoteWin95(uintptr_t hostWindow, int32_t rememberRect);
void RemoteWinClose95();
void RemoteWinHide95();
void RemoteWinUpdate95();
int32_t RemoteDlg95(int32_t mode, int32_t option);

// Video player (video/). The redraw option arrives as a 16-bit value in a 32-bit slot.
int32_t VideoWinPlayer95(uintptr_t hostWindow, int32_t playMode, uint16_t redrawOption);
int32_t VideoWinStatus95();
void VideoWinClose95();

// Print layout dialog (print/).
void PrintDlg95(uintptr_t hostWindow, int32_t pictureWidth, int32_t pictureHeight,
                int32_t noEnhance);
void PrintEnd95();
int32_t PrintCheck95();

// Name and system utilities (host/utility_exports).
void ShortToLongName95();
void RenameShort2Long95();
uint32_t GetFreePageMem95();
int32_t GDIflush95();

}  // namespace kv::entry
