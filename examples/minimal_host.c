/*
 * minimal_host.c - a complete host of w95KVR07.dll in plain C.
 *
 * One window with four buttons and a log. "Editor" opens the slide editor; "Explorer" opens
 * the explorer window, whose Enter on one file or on several the host answers by naming the
 * file(s); "Video" plays the last file opened from the explorer, and its "Grab Frame" comes
 * back as a copied frame; "Print" opens the print layout dialog, and "Print It" has the host
 * draw its picture on the printer's page. Build it with
 *
 *   i686-w64-mingw32-gcc -Iinclude examples/minimal_host.c -Llib -lw95KVR07 -mwindows -o minimal_host.exe
 *
 * and run it beside w95KVR07.dll.
 */
#include <windows.h>

#include "kavrin.h"

enum { ID_EDITOR = 1, ID_EXPLORER, ID_VIDEO, ID_PRINT, ID_LOG };

static HWND g_main, g_log;
static char g_lastFile[MAX_PATH]; /* the file the explorer last asked to open (short path) */

/* Appends a line to the log box. */
static void logLine(const char* text) {
    int end = GetWindowTextLengthA(g_log);
    SendMessageA(g_log, EM_SETSEL, (WPARAM)end, (LPARAM)end);
    SendMessageA(g_log, EM_REPLACESEL, FALSE, (LPARAM)text);
    SendMessageA(g_log, EM_REPLACESEL, FALSE, (LPARAM) "\r\n");
}

/* The shared settings: kavrin.ini in the Windows folder, section [kavrin]. */
static void writeKey(const char* key, const char* value) {
    WritePrivateProfileStringA(KAVRIN_SETTINGS_SECTION, key, value, KAVRIN_SETTINGS_FILE);
}

static void readKey(const char* key, char* value, DWORD size) {
    GetPrivateProfileStringA(KAVRIN_SETTINGS_SECTION, key, "", value, size, KAVRIN_SETTINGS_FILE);
}

static int readIntKey(const char* key) {
    return (int)GetPrivateProfileIntA(KAVRIN_SETTINGS_SECTION, key, 0, KAVRIN_SETTINGS_FILE);
}

/* This program's folder with a trailing backslash: the editor's AppDir. */
static void programFolder(char* folder, DWORD size) {
    DWORD n = GetModuleFileNameA(NULL, folder, size);
    while (n > 0 && folder[n - 1] != '\\') --n;
    folder[n] = '\0';
}

static void openEditor(void) {
    char folder[MAX_PATH], temp[MAX_PATH], line[64];
    int result;
    programFolder(folder, sizeof folder);
    GetTempPathA(sizeof temp, temp);
    lstrcatA(temp, "kavrin run.avl");
    writeKey(KAVRIN_KEY_AVL_FILE, "*"); /* no script: a new one */
    writeKey(KAVRIN_KEY_AVL_TMP, temp);
    writeKey(KAVRIN_KEY_APP_DIR, folder);
    result = EditorWin95(); /* modal: returns when the editor closes */
    wsprintfA(line, "EditorWin95 returned %d", result);
    logLine(line);
    if (result == KAVRIN_EDITOR_RUN) logLine("Play the script written to AVLTMP");
}

/* 0x909: one file, named in Win95file (short) and LongName. */
static void openOneFile(void) {
    char longName[MAX_PATH], line[MAX_PATH + 16];
    readKey(KAVRIN_KEY_WIN95_FILE, g_lastFile, sizeof g_lastFile);
    readKey(KAVRIN_KEY_LONG_NAME, longName, sizeof longName);
    wsprintfA(line, "Open %s (%s)", g_lastFile, longName);
    logLine(line);
}

/* 0x910: several files, listed in the selection list file named by Win95Tmp. */
static void openListedFiles(void) {
    char list[MAX_PATH], folder[MAX_PATH], section[16], name[MAX_PATH], line[2 * MAX_PATH];
    int count, i;
    readKey(KAVRIN_KEY_WIN95_TMP, list, sizeof list);
    if (!list[0]) lstrcpyA(list, "c:\\kavrin.tmp");
    count = (int)GetPrivateProfileIntA(KAVRIN_LIST_SECTION, KAVRIN_LIST_COUNT, 0, list);
    GetPrivateProfileStringA(KAVRIN_LIST_SECTION, KAVRIN_LIST_FOLDER, "c:\\", folder, sizeof folder, list);
    for (i = 1; i <= count; ++i) {
        wsprintfA(section, "%d", i);
        GetPrivateProfileStringA(section, KAVRIN_LIST_FILE_KEY, "", name, sizeof name, list);
        wsprintfA(line, "Open %s%s", folder, name);
        logLine(line);
    }
}

static void playVideo(void) {
    char line[32];
    if (g_lastFile[0]) writeKey(KAVRIN_KEY_SAVE_NAME, g_lastFile); /* the video to play */
    wsprintfA(line, "VideoWinPlayer95 returned %d",
              VideoWinPlayer95(g_main, KAVRIN_PLAY_NORMAL, 0)); /* modeless: returns at once */
    logLine(line);
}

/* 2323: copy the rectangle prL, prT, prW, prH of the player's drawing surface. */
static void grabFrame(HDC surface) {
    int w = readIntKey(KAVRIN_KEY_PR_WIDTH), h = readIntKey(KAVRIN_KEY_PR_HEIGHT);
    HDC copy = CreateCompatibleDC(surface);
    HBITMAP frame = CreateCompatibleBitmap(surface, w, h);
    HGDIOBJ old = SelectObject(copy, frame);
    COLORREF centre;
    char line[64];
    BitBlt(copy, 0, 0, w, h, surface, readIntKey(KAVRIN_KEY_PR_LEFT), readIntKey(KAVRIN_KEY_PR_TOP), SRCCOPY);
    centre = GetPixel(copy, w / 2, h / 2);
    SelectObject(copy, old);
    DeleteDC(copy);
    DeleteObject(frame); /* a real host keeps or saves it */
    wsprintfA(line, "Grabbed %dx%d, centre %06X", w, h, (unsigned)centre);
    logLine(line);
}

static void openPrintDialog(void) {
    writeKey(KAVRIN_KEY_BMP, ""); /* no picture file to preview: the host draws its own */
    PrintDlg95(g_main, 400, 300, 0); /* modeless: the picture's size in pixels */
}

/* 2322: draw the picture into prL, prT, prW, prH of the page, then end the page. */
static void printPage(HDC page) {
    int l = readIntKey(KAVRIN_KEY_PR_LEFT), t = readIntKey(KAVRIN_KEY_PR_TOP);
    int w = readIntKey(KAVRIN_KEY_PR_WIDTH), h = readIntKey(KAVRIN_KEY_PR_HEIGHT);
    HBRUSH sky = CreateSolidBrush(RGB(40, 90, 200)), sun = CreateSolidBrush(RGB(250, 200, 40));
    RECT r;
    char line[64];
    SetRect(&r, l, t, l + w, t + h);
    FillRect(page, &r, sky);
    SelectObject(page, sun);
    Ellipse(page, l + w / 3, t + h / 4, l + 2 * w / 3, t + 3 * h / 4);
    SelectObject(page, GetStockObject(WHITE_BRUSH));
    DeleteObject(sky);
    DeleteObject(sun);
    PrintEnd95(); /* ends the page and the document, closes the dialog */
    wsprintfA(line, "Printed at %d,%d size %dx%d; PrintCheck95 %d", l, t, w, h, PrintCheck95());
    logLine(line);
}

static LRESULT CALLBACK mainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case KAVRIN_MSG_EXPLORER:
        if (lp == KAVRIN_REQ_OPEN_ONE) openOneFile();
        if (lp == KAVRIN_REQ_OPEN_LIST) openListedFiles();
        return 0;
    case KAVRIN_MSG_GRAB_FRAME:
        grabFrame((HDC)lp);
        return 0;
    case KAVRIN_MSG_PRINT_PAGE:
        printPage((HDC)lp);
        return 0;
    case KAVRIN_MSG_VIDEO_CLOSED:
        logLine("Video player closed");
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == ID_EDITOR) openEditor();
        if (LOWORD(wp) == ID_EXPLORER) RemoteWin95(w, 1);
        if (LOWORD(wp) == ID_VIDEO) playVideo();
        if (LOWORD(wp) == ID_PRINT) openPrintDialog();
        return 0;
    case WM_DESTROY:
        /* The modeless windows go with the host. */
        RemoteWinClose95();
        if (VideoWinStatus95() != 0) {
            VideoWinClose95();
            VideoWinClose95(); /* a second request closes at once */
        }
        PrintEnd95();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

static void addButton(const char* text, int id, int y) {
    CreateWindowA("BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, y, 100, 26, g_main,
                  (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    WNDCLASSA wc;
    MSG m;
    (void)previous;
    (void)commandLine;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = mainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KavrinMinimalHost";
    RegisterClassA(&wc);
    g_main = CreateWindowA("KavrinMinimalHost", "Kavrin minimal host", WS_OVERLAPPEDWINDOW, 40, 40, 560, 300,
                           NULL, NULL, instance, NULL);
    addButton("&Editor", ID_EDITOR, 8);
    addButton("E&xplorer", ID_EXPLORER, 40);
    addButton("&Video", ID_VIDEO, 72);
    addButton("&Print", ID_PRINT, 104);
    g_log = CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                          116, 8, 420, 240, g_main, (HMENU)ID_LOG, instance, NULL);
    ShowWindow(g_main, show);
    /* The modeless windows (explorer, video player, print dialog) live in this loop. */
    while (GetMessageA(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return (int)m.wParam;
}
