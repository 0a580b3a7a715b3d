// Helpers for programs that drive w95KVR07.dll the way a host does: load the DLL, reach its
// exports, read and write the settings file through the platform's profile API, make
// temporary folders with long names, keep a test from hanging, inspect the DLL's export and
// import tables, measure what a call leaves on the stack, and save a window as a picture.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kv::kit {

// ---- the DLL ------------------------------------------------------------------------------

// Loads w95KVR07.dll once per process (LoadLibraryA) from the folder of the running program,
// or from the path in the environment variable KV_DLL when it is set. Null when it fails.
HMODULE dll();
std::string dllPath();

// The address of an export, or null.
FARPROC exportAddress(const char* name);

// Export names of a loaded module, in table order, read from its PE export directory.
std::vector<std::string> exportNames(HMODULE module);
// Names of the DLLs a loaded module imports, from its PE import directory.
std::vector<std::string> importedDlls(HMODULE module);

// Calls fn with nargs 32-bit arguments pushed right to left and returns the number of bytes
// the callee removed from the stack (a standard-call function with n arguments removes 4n, a
// C-convention function 0). The callee's EAX goes to *result when result is not null.
uint32_t stackBytesRemoved(FARPROC fn, const uint32_t* args, uint32_t nargs, uint32_t* result = nullptr);

// The sixteen exports and the bytes of arguments each takes.
struct ExportInfo {
    const char* name;
    uint32_t argBytes;
};
const std::vector<ExportInfo>& contractExports();

// ---- the settings file ---------------------------------------------------------------------

constexpr const char* SettingsFile = "kavrin.ini";  // resolves in the Windows folder
constexpr const char* Section = "kavrin";

std::string settingsPath();  // full path: the Windows folder + "\kavrin.ini"
void writeKey(const std::string& key, const std::string& value);
void deleteKey(const std::string& key);
std::string readKey(const std::string& key, const std::string& def = "");
int readIntKey(const std::string& key, int def);
// The rectangle the library wrote for the host's picture (prL, prT, prW, prH; -1 for a key
// not there), which the host draws the picture into or copies from.
struct PictureRect {
    int left = -1, top = -1, width = -1, height = -1;
};
PictureRect pictureRect();
std::vector<std::string> sectionKeys();    // key names of [kavrin], in file order
std::vector<std::string> sectionEntries(); // "key=value" lines of [kavrin]
void clearSection();                       // removes the whole [kavrin] section
void flushSettings();                      // drops the platform's cached copy of the file

// ---- files --------------------------------------------------------------------------------

// A folder under the temporary folder whose name is long and holds blanks, removed with
// everything in it when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "Kavrin test folder with a long name");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }  // without trailing backslash
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    // Writes a file (creating it) and returns its full path.
    std::string writeFile(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

bool fileExists(const std::string& path);
bool readFile(const std::string& path, std::string& bytes);
std::string shortPath(const std::string& path);  // GetShortPathNameA, or the input
void removeTree(const std::string& path);

// ---- time ---------------------------------------------------------------------------------

// Ends the process with exit code 3 and a message naming what hung when the deadline passes
// before the object goes. One watchdog thread serves every scope.
class WatchdogScope {
public:
    WatchdogScope(const std::string& what, DWORD milliseconds);
    ~WatchdogScope();
    WatchdogScope(const WatchdogScope&) = delete;
    WatchdogScope& operator=(const WatchdogScope&) = delete;
};

// Milliseconds of the high-resolution counter, for measuring.
double nowMs();

// Dispatches the window messages that arrive within the given time.
void pumpMessages(DWORD milliseconds);

// Visible top-level windows of this process, other than `except`.
std::vector<HWND> processWindows(HWND except = nullptr);

// Backs out of the windows of this process that take input (visible, enabled, top-level) the
// way a user does: it clicks one of the window's buttons "Cancel", "&No", "&Yes", "OK", "Close"
// (the first present), or sends WM_CLOSE when it has none. Windows disabled under a modal one
// are left alone. With `attempts`, a window that comes back with the same texts gets the next
// of its buttons each time, so a question like "Discard changes?" whose "No" keeps the
// window open is answered "Yes" the next time.
void cancelProcessWindows(HWND except = nullptr, std::map<std::string, int>* attempts = nullptr);

// While it lives, a helper thread cancels every window of this process that stays open for
// more than `patience` milliseconds, so a modal export called from a test comes back.
class ModalCloser {
public:
    explicit ModalCloser(DWORD patience = 250, HWND except = nullptr);
    ~ModalCloser();
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;
    int windowsCancelled() const { return cancelled_; }

private:
    static DWORD WINAPI run(void* self);
    HANDLE stop_, thread_;
    DWORD patience_;
    HWND except_;
    std::map<std::string, int> attempts_;
    volatile LONG cancelled_ = 0;
};

// ---- pictures -----------------------------------------------------------------------------

// Draws the picture of a bitmap file stretched into the rectangle (left, top, width, height)
// of a device context, as a host does on the print message; false when the file is no
// bitmap (then nothing is drawn).
bool drawPictureFile(HDC dc, const std::string& file, int left, int top, int width, int height);

// The folder window pictures go to: out\screens, or the folder in KV_SCREENS; made when missing.
std::string screensFolder();

// Saves what the window shows as a 24-bit Windows bitmap file.
bool saveWindowBitmap(HWND window, const std::string& file);
// The same with other windows (an open popup menu) drawn over it where they are on the screen.
bool saveWindowBitmap(HWND window, const std::vector<HWND>& above, const std::string& file);

}  // namespace kv::kit
