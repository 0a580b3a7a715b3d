// The platform services the library reaches outside itself, as small ports.
// framework/win32 realises them with the Win32 API, framework/sim in memory for tests.
// Modules reach them through kv::ports(); nothing outside framework/win32 and host/win32
// includes <windows.h>.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// Private-profile (INI) service for files read and written key by key.
class ProfilePort {
public:
    virtual ~ProfilePort() = default;
    // Value of the key, or def; at most 1023 characters.
    virtual std::string readString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& def) = 0;
    // false when the platform refuses the write.
    virtual bool writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // Key names of a section in file order (8192-byte list; names past it are lost).
    virtual std::vector<std::string> sectionKeys(const std::string& file,
                                                 const std::string& section) = 0;
    // "key=value" entries of a section in file order.
    virtual std::vector<std::string> sectionValues(const std::string& file,
                                                   const std::string& section) = 0;
    // Drops any cached copy of the file, after it was written by other means.
    virtual void flush(const std::string& file) = 0;
};

struct DirEntry {
    std::string longName;   // name as stored
    std::string shortName;  // 8.3 alias; empty when the long name is already a valid 8.3 name
    bool directory = false;
    bool hidden = false;  // attributes the explorer's listing looks at
    bool system = false;
    uint64_t size = 0;
    int64_t modified = 0;  // seconds since 1970, UTC
};

enum class DriveType { Unknown, Removable, Fixed, Remote, CDRom, RamDisk };

struct DriveInfo {
    char letter = 'c';  // lower case
    DriveType type = DriveType::Unknown;
    std::string label;  // volume label (read for fixed and RAM drives only; may be empty)
};

class FileSystemPort {
public:
    virtual ~FileSystemPort() = default;
    virtual bool exists(const std::string& path) = 0;  // file or folder
    virtual bool isDirectory(const std::string& path) = 0;
    // Directory entry of an existing file or folder (find-first on the path).
    virtual std::optional<DirEntry> findEntry(const std::string& path) = 0;
    // Entries of a folder matching a wildcard pattern ("*.*").
    virtual std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) = 0;
    // Short (8.3) path of an existing file or folder; empty optional otherwise.
    virtual std::optional<std::string> shortPath(const std::string& path) = 0;
    virtual bool readFile(const std::string& path, std::string& bytes) = 0;
    // Replaces the file atomically: the old file stays as it was when this fails. `written`,
    // when given, receives how many of the bytes were stored before the write ended, so a
    // caller can tell which part of its file the failure hit.
    virtual bool writeFileAtomic(const std::string& path, const std::string& bytes,
                                 uint64_t* written = nullptr) = 0;
    // Makes a new file holding `bytes`; false when the path names an existing file or folder
    // (which stays untouched) or the file cannot be made.
    virtual bool createNewFile(const std::string& path, const std::string& bytes) = 0;
    virtual bool moveFile(const std::string& from, const std::string& to) = 0;  // fails if `to` exists
    virtual bool deleteFile(const std::string& path) = 0;
    virtual std::string currentDirectory() = 0;  // of the current drive, with drive letter
    // Makes an existing folder the process's current directory (and its drive the current
    // drive); false when it is not a folder.
    virtual bool setCurrentDirectory(const std::string& path) = 0;
    // The drives that exist, in letter order.
    virtual std::vector<DriveInfo> drives() = 0;
    // Whether the drive's size can be read (a medium is in it).
    virtual bool driveReady(char letter) = 0;
    virtual std::string windowsDirectory() = 0;  // where a profile name without folder resolves
};

// Drag: a drag under way; NoDrop: no drop here; SizeAll: the four-headed arrow.
enum class CursorKind { Default, HourGlass, Drag, NoDrop, SizeAll };

enum class DialogKind { Warning, Error, Information, Confirmation, Custom };
enum DialogButton : unsigned {
    BtnYes = 1, BtnNo = 2, BtnOK = 4, BtnCancel = 8, BtnHelp = 16,
    BtnAbort = 32, BtnRetry = 64, BtnIgnore = 128, BtnAll = 256,
};
// Title of the standard message dialog of a kind ("Warning", "Error", ...); empty for Custom.
const char* dialogTitle(DialogKind kind);
enum class ModalResult : int { None = 0, OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7, All = 8 };

class UserPort {
public:
    virtual ~UserPort() = default;
    virtual void setCursor(CursorKind kind) = 0;
    virtual CursorKind cursor() = 0;
    virtual void cursorPos(int& x, int& y) = 0;  // screen coordinates
    // The standard message dialog: titled by kind, the text, the buttons; returns the answer.
    virtual ModalResult messageDialog(const std::string& text, DialogKind kind, unsigned buttons) = 0;
    // The screen's size in layout pixels (those of a 96 dots-per-inch screen, which windows
    // are laid out and placed in), and in its own pixels (what a slide show fills).
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    virtual int displayWidth() { return screenWidth(); }
    virtual int displayHeight() { return screenHeight(); }
    virtual int systemMetric(int index) = 0;
    virtual uint32_t systemColor(int index) = 0;  // COLORREF of a system colour index
    virtual void beep() = 0;
};

enum class BorderStyle;  // framework/controls.h

// How much wider and taller a window is than its client area.
struct FrameSize {
    int width = 0, height = 0;
    bool operator==(const FrameSize&) const = default;
};

// The sizes the platform draws windows and controls with, asked for by what they are.
class MetricsPort {
public:
    virtual ~MetricsPort() = default;
    // The frame and caption of a form of this border style.
    virtual FrameSize frameOverhead(BorderStyle style) = 0;
    virtual int borderWidth() = 0;         // a thin window border
    virtual int borderHeight() = 0;
    virtual int menuBarHeight() = 0;       // a one-line menu bar
    virtual int vScrollThumbHeight() = 0;  // the thumb of a vertical scroll bar
    virtual int hScrollThumbWidth() = 0;   // the thumb of a horizontal scroll bar
};

class HostPort {
public:
    virtual ~HostPort() = default;
    // Sends a message synchronously to a host window (wParam 0 in every use).
    virtual intptr_t send(uintptr_t window, uint32_t msg, uintptr_t wparam, intptr_t lparam) = 0;
    virtual void broadcast(uint32_t msg, uintptr_t wparam, intptr_t lparam) = 0;
    virtual bool isWindow(uintptr_t window) = 0;
};

class SystemPort {
public:
    virtual ~SystemPort() = default;
    virtual uint32_t availablePageFile() = 0;  // free paging-file bytes (global memory status)
    virtual bool gdiFlush() = 0;
    virtual bool help(const std::string& file, int context) = 0;
    // Program start: runs the command line with the window show state (0 hidden, 1 normal)
    // and does not wait for the program; false when it could not be started.
    virtual bool run(const std::string& commandLine, int showState) = 0;
    // Local date and time as days since 30 December 1899 with the time as the fraction.
    virtual double now() = 0;
    // A moment (seconds since 1970, UTC) as local date and time in the platform's short date
    // and long time formats, separated by a blank.
    virtual std::string dateTimeText(int64_t utcSeconds) = 0;
};

// What a printer offers one page: its size in printer pixels, resolution, colour depth and
// orientation (as of the printer's current settings).
struct PrinterPage {
    int width = 0, height = 0;  // page size in printer pixels
    int dpiX = 0, dpiY = 0;     // LOGPIXELSX, LOGPIXELSY
    int bitsPixel = 1, planes = 1;
    bool landscape = false;
    std::string name;  // the printer's name
};

// The printer the library prints on: at first the system's default printer, later the one
// chosen in the platform's print dialog. One document of one page at a time.
class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    // The current printer's page; empty when there is no printer (none installed, or the
    // print service does not answer).
    virtual std::optional<PrinterPage> page() = 0;
    // The platform's print dialog (choose the printer and its settings), pages 1 to 1, owned
    // by the active window; true when the user confirmed it.
    virtual bool setupDialog() = 0;
    // Begins a document with this title (the platform cuts it to 31 characters) and its
    // page; false when the printer cannot start a job, and then nothing is left open.
    virtual bool beginDoc(const std::string& title) = 0;
    // The drawing surface (device context) of the page begun; 0 without a document.
    virtual uintptr_t surface() = 0;
    virtual bool printing() = 0;  // a document was begun and not yet ended or aborted
    // Ends the page and the document: the page goes to the printer. False when the printer
    // refused it.
    virtual bool endDoc() = 0;
    virtual void abortDoc() = 0;
};

// Device modes as the media device reports them, in the platform's order.
enum class MediaMode : int { NotReady = 0, Stopped = 1, Playing = 2, Recording = 3, Seeking = 4, Paused = 5, Open = 6 };

// A media device playing one file (the platform's media control interface). Every command
// answers 0 when it succeeded, else the device's error number, whose text errorText gives.
// Commands wait for their completion, except play, whose end the caller notices by polling
// the mode (the device also notifies the window given to play).
class MediaPort {
public:
    virtual ~MediaPort() = default;
    // Opens a device on the file, chosen by the file's type. One device at a time.
    virtual uint32_t open(const std::string& file) = 0;
    virtual bool isOpen() = 0;
    virtual uint32_t close() = 0;
    virtual std::string errorText(uint32_t error) = 0;

    virtual uint32_t setTimeFormatFrames() = 0;
    // The window the video is shown in, and the rectangle of it that shows the picture.
    virtual uint32_t setDisplayWindow(uintptr_t window) = 0;
    virtual uint32_t setDisplayRect(int left, int top, int width, int height) = 0;
    // The video's own size (the source rectangle's right and bottom).
    virtual uint32_t sourceSize(int& width, int& height) = 0;
    virtual uint32_t length(int32_t& frames) = 0;
    virtual uint32_t position(int32_t& frame) = 0;
    virtual uint32_t mode(MediaMode& m) = 0;

    virtual uint32_t play(uintptr_t notifyWindow) = 0;  // from the current position
    virtual uint32_t pause() = 0;
    virtual uint32_t resume() = 0;
    virtual uint32_t stop() = 0;
    virtual uint32_t seekToStart() = 0;
    virtual uint32_t seek(int32_t frame) = 0;
    virtual uint32_t step(int32_t frames) = 0;

    virtual uint32_t setAudio(bool on) = 0;            // all channels
    virtual uint32_t setVolume(int32_t perMille) = 0;  // 1000: full volume
    virtual uint32_t setSpeed(int32_t perMille) = 0;   // 1000: normal speed
    virtual uint32_t realize() = 0;                    // the video's palette, foreground
    // Repaints the current frame into a drawing surface, within the rectangle.
    virtual uint32_t update(uintptr_t surface, int left, int top, int width, int height) = 0;
    virtual uint32_t configure() = 0;                  // the device's configuration dialog
};

struct Ports {
    ProfilePort* profile = nullptr;
    FileSystemPort* fs = nullptr;
    UserPort* user = nullptr;
    HostPort* host = nullptr;
    SystemPort* system = nullptr;
    PrinterPort* printer = nullptr;
    MediaPort* media = nullptr;
    MetricsPort* metrics = nullptr;
};

// The ports in use; installed by the backend (the library at load, a test's sim platform).
Ports& ports();

// The installed metrics port's frame of a form of this border style; none without a port.
FrameSize frameOverhead(BorderStyle style);

}  // namespace kv
