// The sixteen exported functions and the library's start-up. Every export takes the standard
// Windows calling convention (the callee removes its arguments) and forwards to its portable
// entry; nothing thrown inside the library crosses back into the host.
#include <windows.h>

#include <cstdint>

#include "framework/win32/win32_ports.h"
#include "framework/win32/win32_ui.h"
#include "host/entry.h"

namespace {

bool g_started = false;

// Installs the platform ports and sets the modules' defaults, once; DllMain does it at load,
// and an export that somehow runs first does it then.
void start() {
    if (g_started) return;
    g_started = true;
    kv::win32::installPorts();
    kv::win32::installUi();
    kv::entry::libraryStartup();
}

// Starts the library and runs an export's body; anything it throws is swallowed, and the
// export answers `failed`.
template <class R, class F>
R swallowThrows(R failed, F&& body) noexcept {
    try {
        start();
        return body();
    } catch (...) {
        return failed;
    }
}

// The same for an export without a result.
template <class F>
void swallowThrows(F&& body) noexcept {
    try {
        start();
        body();
    } catch (...) {
    }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        try {
            start();
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

int32_t WINAPI EditorWin95() {
    return swallowThrows<int32_t>(0, [] { return kv::entry::EditorWin95(); });
}

void WINAPI RemoteWin95(HWND host, int32_t rememberRect) {
    swallowThrows([&] { kv::entry::RemoteWin95(reinterpret_cast<uintptr_t>(host), rememberRect); });
}

void WINAPI RemoteWinClose95() {
    swallowThrows([] { kv::entry::RemoteWinClose95(); });
}

void WINAPI RemoteWinHide95() {
    swallowThrows([] { kv::entry::RemoteWinHide95(); });
}

void WINAPI RemoteWinUpdate95() {
    swallowThrows([] { kv::entry::RemoteWinUpdate95(); });
}

int32_t WINAPI RemoteDlg95(int32_t mode, int32_t option) {
    return swallowThrows<int32_t>(-1, [&] { return kv::entry::RemoteDlg95(mode, option); });
}

// The redraw option is a 16-bit value in a 32-bit slot: only its low half counts.
int32_t WINAPI VideoWinPlayer95(HWND host, int32_t playMode, uint32_t redrawOption) {
    return swallowThrows<int32_t>(0, [&] {
        return kv::entry::VideoWinPlayer95(reinterpret_cast<uintptr_t>(host), playMode,
                                           static_cast<uint16_t>(redrawOption));
    });
}

int32_t WINAPI VideoWinStatus95() {
    return swallowThrows<int32_t>(0, [] { return kv::entry::VideoWinStatus95(); });
}

void WINAPI VideoWinClose95() {
    swallowThrows([] { kv::entry::VideoWinClose95(); });
}

void WINAPI PrintDlg95(HWND host, int32_t pictureWidth, int32_t pictureHeight, int32_t noEnhance) {
    swallowThrows([&] {
        kv::entry::PrintDlg95(reinterpret_cast<uintptr_t>(host), pictureWidth, pictureHeight,
                              noEnhance);
    });
}

void WINAPI PrintEnd95() {
    swallowThrows([] { kv::entry::PrintEnd95(); });
}

int32_t WINAPI PrintCheck95() {
    return swallowThrows<int32_t>(0, [] { return kv::entry::PrintCheck95(); });
}

void WINAPI ShortToLongName95() {
    swallowThrows([] { kv::entry::ShortToLongName95(); });
}

void WINAPI RenameShort2Long95() {
    swallowThrows([] { kv::entry::RenameShort2Long95(); });
}

uint32_t WINAPI GetFreePageMem95() {
    return swallowThrows<uint32_t>(0, [] { return kv::entry::GetFreePageMem95(); });
}

int32_t WINAPI GDIflush95() {
    return swallowThrows<int32_t>(0, [] { return kv::entry::GDIflush95(); });
}

}  // extern "C"
