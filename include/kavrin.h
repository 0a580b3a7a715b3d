/*
 * kavrin.h - what a host program compiles against to use w95KVR07.dll.
 *
 * The library's sixteen exports, the messages it sends to the host window with their request
 * codes, the results of the exports and the names of the shared settings. Link with
 * libw95KVR07.a (mingw-w64) or w95KVR07.lib (the platform vendor's linker), or load the DLL
 * yourself and use the Kavrin...Proc pointer types. docs/host-guide.md tells what each call
 * does and what a host answers to each message.
 *
 * Plain C89 and later, C++ (the declarations get C linkage). Every name this header makes
 * begins with KAVRIN_ or Kavrin, apart from the sixteen exports themselves.
 */
#ifndef KAVRIN_H
#define KAVRIN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Every export uses the standard Windows calling convention: the four that take arguments
 * remove them from the stack (8, 8, 12 and 16 bytes); the twelve without arguments work
 * under any convention. */
#define KAVRIN_CALL __stdcall
#define KAVRIN_IMPORT __declspec(dllimport)

/* ---- the exports ------------------------------------------------------------------------ */

/* Modal slide editor. Reads AVLFIL, AVLTMP, AppDir. Returns a KAVRIN_EDITOR_ value. */
KAVRIN_IMPORT int KAVRIN_CALL EditorWin95(void);
/* Modeless explorer window; `host` receives KAVRIN_MSG_EXPLORER. Non-zero `rememberRect`:
 * the window takes its saved rectangle and saves it again at its close. */
KAVRIN_IMPORT void KAVRIN_CALL RemoteWin95(HWND host, int rememberRect);
KAVRIN_IMPORT void KAVRIN_CALL RemoteWinClose95(void);
KAVRIN_IMPORT void KAVRIN_CALL RemoteWinHide95(void);
KAVRIN_IMPORT void KAVRIN_CALL RemoteWinUpdate95(void);
/* Modal explorer dialog in a KAVRIN_DLG_ mode. Returns KAVRIN_DLG_CANCELLED, or
 * KAVRIN_DLG_OK, or in save modes a KAVRIN_FORMAT_ code. */
KAVRIN_IMPORT int KAVRIN_CALL RemoteDlg95(int mode, int option);
/* Modeless video player on SaveName; `host` receives KAVRIN_MSG_GRAB_FRAME. Only the low
 * 16 bits of `redrawOption` count. Returns KAVRIN_VIDEO_OPENED or KAVRIN_VIDEO_FAILED. */
KAVRIN_IMPORT int KAVRIN_CALL VideoWinPlayer95(HWND host, int playMode, unsigned int redrawOption);
/* KAVRIN_VIDEO_OPEN_FLAG + play mode while the player is open, else 0. */
KAVRIN_IMPORT int KAVRIN_CALL VideoWinStatus95(void);
KAVRIN_IMPORT void KAVRIN_CALL VideoWinClose95(void);
/* Modeless print layout dialog for a picture of width x height pixels; `host` receives
 * KAVRIN_MSG_PRINT_PAGE. Does nothing while one is open or for a size of 0 or less. */
KAVRIN_IMPORT void KAVRIN_CALL PrintDlg95(HWND host, int pictureWidth, int pictureHeight, int noEnhance);
KAVRIN_IMPORT void KAVRIN_CALL PrintEnd95(void);
/* 1 while a print dialog is open, else 0. */
KAVRIN_IMPORT int KAVRIN_CALL PrintCheck95(void);
/* SaveName -> LongName. */
KAVRIN_IMPORT void KAVRIN_CALL ShortToLongName95(void);
/* Renames the file Win95Tmp to SaveAs in the same folder. */
KAVRIN_IMPORT void KAVRIN_CALL RenameShort2Long95(void);
/* Free bytes of the paging file. */
KAVRIN_IMPORT unsigned int KAVRIN_CALL GetFreePageMem95(void);
/* 1 when the pending drawing calls were flushed. */
KAVRIN_IMPORT int KAVRIN_CALL GDIflush95(void);

/* The same as pointer types, for a host that loads the DLL with LoadLibrary. */
typedef int(KAVRIN_CALL *KavrinIntProc)(void);    /* EditorWin95, VideoWinStatus95, PrintCheck95, GDIflush95 */
typedef void(KAVRIN_CALL *KavrinVoidProc)(void);  /* the other calls without arguments */
typedef unsigned int(KAVRIN_CALL *KavrinUIntProc)(void);  /* GetFreePageMem95 */
typedef void(KAVRIN_CALL *KavrinRemoteWinProc)(HWND, int);
typedef int(KAVRIN_CALL *KavrinRemoteDlgProc)(int, int);
typedef int(KAVRIN_CALL *KavrinVideoPlayerProc)(HWND, int, unsigned int);
typedef void(KAVRIN_CALL *KavrinPrintDlgProc)(HWND, int, int, int);

#define KAVRIN_DLL_NAME "w95KVR07.dll"
#define KAVRIN_KIT_VERSION "1.0.0"    /* of this header and the kit it comes in */

/* ---- results ----------------------------------------------------------------------------- */

/* EditorWin95 */
#define KAVRIN_EDITOR_RUN (-1)        /* play the script Run wrote to AVLTMP */
#define KAVRIN_EDITOR_CLOSED 0        /* nothing to do */
#define KAVRIN_EDITOR_UPDATE 1        /* make the thumbnails of the saved script's new indices */
#define KAVRIN_EDITOR_VIEW_TAGS 2     /* show the slides of the tag list (KAVRIN_TAG_LIST_FILE) */

/* RemoteDlg95's mode argument (the option is 0 unless noted) */
#define KAVRIN_DLG_SAVE 0             /* "Save File"; option 1: "Save Contact Sheet as" */
#define KAVRIN_DLG_SAVE_1BIT 1        /* 1, 4, 8, 16, 24: save with the formats of that colour depth */
#define KAVRIN_DLG_SAVE_4BIT 4
#define KAVRIN_DLG_SAVE_8BIT 8
#define KAVRIN_DLG_SAVE_16BIT 16
#define KAVRIN_DLG_SAVE_24BIT 24
#define KAVRIN_DLG_CONVERT 100        /* + a colour depth (101, 104, 108, 116, 124): "Convert Multiple Files" */
#define KAVRIN_DLG_MOVE 102           /* "Move File to" (proposes SaveAs) */
#define KAVRIN_DLG_TILING 252         /* "Open File for Tiling or Texture" */
#define KAVRIN_DLG_ADD_SLIDES 253     /* "Add Multiple Slides": the selection list */
#define KAVRIN_DLG_OPEN_SLIDESHOW 254 /* "Open Slideshow" */

/* RemoteDlg95's result */
#define KAVRIN_DLG_CANCELLED (-1)     /* not confirmed */
#define KAVRIN_DLG_OK 0               /* confirmed in modes 102, 252, 253, 254 */
/* ... in save modes the format code of the chosen file type: */
#define KAVRIN_FORMAT_CMP_LEAD_JPEG 0
#define KAVRIN_FORMAT_JPG_NORMAL 1
#define KAVRIN_FORMAT_BMP_WINDOWS 7   /* also "DIB Windows Bitmap" */
#define KAVRIN_FORMAT_BMP_OS2 8
#define KAVRIN_FORMAT_TIF 9
#define KAVRIN_FORMAT_TGA 11
#define KAVRIN_FORMAT_PCX 12
#define KAVRIN_FORMAT_CAL 15
#define KAVRIN_FORMAT_WPG 17
#define KAVRIN_FORMAT_RAS 18
#define KAVRIN_FORMAT_PCT 20
#define KAVRIN_FORMAT_TIF_CCITT 24
#define KAVRIN_FORMAT_TIF_G3_1D 25
#define KAVRIN_FORMAT_TIF_G3_2D 26
#define KAVRIN_FORMAT_TIF_G4 27
#define KAVRIN_FORMAT_PNG 37
#define KAVRIN_FORMAT_PSD 38
#define KAVRIN_FORMAT_JPG_EXTENDED 88
#define KAVRIN_FORMAT_KQP_PIC 98      /* "KQP Konica Quality Photo" and "PIC Pegasus "JPEG"" */
#define KAVRIN_FORMAT_JPG_ENHANCED 99
#define KAVRIN_FORMAT_LEAD_JPEG_GRAY (-10)
#define KAVRIN_FORMAT_JPG_GRAY (-11)

/* PrintCheck95, GDIflush95 */
#define KAVRIN_PRINT_DIALOG_OPEN 1    /* PrintCheck95: a print dialog is open (else 0) */
#define KAVRIN_GDI_FLUSHED 1          /* GDIflush95: the drawing calls were flushed (else 0) */

/* VideoWinPlayer95 */
#define KAVRIN_VIDEO_FAILED 0         /* the file could not be opened (the user saw why) */
#define KAVRIN_VIDEO_OPENED 1
#define KAVRIN_PLAY_NORMAL 0          /* play modes */
#define KAVRIN_PLAY_HALF_VOLUME 1     /* starts at half volume, no "&Loop Playback" */
#define KAVRIN_PLAY_PLAIN 2           /* no speed or volume sent, the end of play as the device reports it */
/* VideoWinStatus95: KAVRIN_VIDEO_OPEN_FLAG + play mode while open, the flag alone after
 * VideoWinClose95 until the window has closed, 0 when closed */
#define KAVRIN_VIDEO_OPEN_FLAG 256
#define KAVRIN_VIDEO_PLAY_MODE_MASK 255

/* ---- messages to the host window (sent, wParam 0; answer 0) ------------------------------ */

#define KAVRIN_MSG_EXPLORER 2321      /* 0x911 from the explorer window; lParam a KAVRIN_REQ_ code */
#define KAVRIN_MSG_PRINT_PAGE 2322    /* 0x912 lParam: the printer page's HDC; draw, then PrintEnd95 */
#define KAVRIN_MSG_GRAB_FRAME 2323    /* 0x913 lParam: the player's client HDC; copy prL, prT, prW, prH */
#define KAVRIN_MSG_VIDEO_CLOSED 2309  /* 0x905 to every top-level window as the player closes; lParam 0 */

/* KAVRIN_MSG_EXPLORER's requests */
#define KAVRIN_REQ_INFO 0x901         /* show information on the file in Win95file */
#define KAVRIN_REQ_PREVIEW 0x903      /* preview the file in Win95file */
#define KAVRIN_REQ_DELETE 0x904       /* delete the file in Win95file (the library deletes nothing) */
#define KAVRIN_REQ_SLIDESHOW 0x907    /* play the instant slideshow script written to Win95Tmp */
#define KAVRIN_REQ_CONVERT 0x908      /* convert every file of the selection list */
#define KAVRIN_REQ_OPEN_ONE 0x909     /* open the file in Win95file (long name in LongName) */
#define KAVRIN_REQ_OPEN_LIST 0x910    /* open every file of the selection list */
#define KAVRIN_REQ_ACTIVATED 17       /* 0x11: the explorer window was activated */

/* ---- the settings file: kavrin.ini in the Windows folder, section [kavrin] ----------------- */

#define KAVRIN_SETTINGS_FILE "kavrin.ini"
#define KAVRIN_SETTINGS_SECTION "kavrin"

#define KAVRIN_KEY_SAVE_NAME "SaveName"   /* host: the video to play; explorer dialog on OK: the file */
#define KAVRIN_KEY_LONG_NAME "LongName"   /* explorer on OK and before 0x909; ShortToLongName95 */
#define KAVRIN_KEY_WIN95_FILE "Win95file" /* explorer window before 0x901, 0x903, 0x904, 0x909 (short path) */
#define KAVRIN_KEY_WIN95_TMP "Win95Tmp"   /* host: the selection list's path; the file RenameShort2Long95 renames */
#define KAVRIN_KEY_LAST_DIR "LastDir"     /* explorer at its close: its last folder (host may set the first) */
#define KAVRIN_KEY_SAVE_PATH "SavePath"   /* explorer save dialogs on OK: the folder the next one starts in */
#define KAVRIN_KEY_SAVE_AS "SaveAs"       /* host, editor: the name a save dialog proposes; the new long name */
#define KAVRIN_KEY_SAVE_EXT "SaveExt"     /* explorer save dialogs on OK: the chosen extension, dot included */
#define KAVRIN_KEY_MULTI_BPP "MultiBPP"   /* explorer save dialogs on OK: the colour depth in bits */
#define KAVRIN_KEY_SAVE1 "Save1"          /* explorer save dialogs on OK: remembered format row, 1 bit */
#define KAVRIN_KEY_SAVE4 "Save4"          /* the same, 4 bits (911 or missing: the default row) */
#define KAVRIN_KEY_SAVE8 "Save8"          /* the same, 8 bits */
#define KAVRIN_KEY_SAVE16 "Save16"        /* the same, 16 bits */
#define KAVRIN_KEY_SAVE24 "Save24"        /* the same, 24 bits */
#define KAVRIN_KEY_SAVE_YUV "SaveYUV"     /* compression dialog on OK: 0 = 4:4:4, 1 = 4:2:2, 2 = 4:1:1 */
#define KAVRIN_KEY_SAVE_JPG "SaveJPG"     /* compression dialog on OK: luminance quality 2..255 */
#define KAVRIN_KEY_SAVE_PIC "SavePIC"     /* compression dialog on OK: colour quality or smoothing 2..255 */
#define KAVRIN_KEY_SAVE_CMP "SaveCMP"     /* compression dialog on OK: preset row 0..9 (0 custom) */
#define KAVRIN_KEY_WIN_TOP "bWinT"        /* explorer window at its close when opened with rememberRect: top */
#define KAVRIN_KEY_WIN_LEFT "bWinL"       /* the same: left */
#define KAVRIN_KEY_WIN_WIDTH "bWinW"      /* the same: width */
#define KAVRIN_KEY_WIN_HEIGHT "bWinH"     /* the same: height */
#define KAVRIN_KEY_SAFE_PLAY "SafePLAY"   /* host: non-zero hides the player's "&Grab Frame" */
#define KAVRIN_KEY_PR_LEFT "prL"          /* player before 2323, print dialog before 2322: left */
#define KAVRIN_KEY_PR_TOP "prT"           /* the same: top */
#define KAVRIN_KEY_PR_WIDTH "prW"         /* the same: width */
#define KAVRIN_KEY_PR_HEIGHT "prH"        /* the same: height */
#define KAVRIN_KEY_PR_ENHANCE "prN"       /* print dialog before 2322: enhance 1/0 */
#define KAVRIN_KEY_PR_COLOR "prC"         /* print dialog before 2322: colour 1/0 */
#define KAVRIN_KEY_PR_STYLE "prD"         /* print dialog before 2322: enhancement style index */
#define KAVRIN_KEY_BMP "BMP"              /* host before PrintDlg95: the picture the dialog previews */
#define KAVRIN_KEY_AVL_FILE "AVLFIL"      /* host before EditorWin95: the script to open, "*" for none */
#define KAVRIN_KEY_AVL_TMP "AVLTMP"       /* host before EditorWin95: where Run writes the script to play */
#define KAVRIN_KEY_APP_DIR "AppDir"       /* host before EditorWin95: its folder (thumbnails, tag list, player) */
#define KAVRIN_KEY_AVL_NOW "AVLNOW"       /* editor on load and save: the script's name, empty when unsaved */
#define KAVRIN_KEY_THM_IDX "THMidx"       /* editor on save: the last catalogue id issued */
#define KAVRIN_KEY_AVL_IDX "AVLidx"       /* editor's catalogue update: the next free thumbnail index */

/* The selection list file (named by Win95Tmp), written by the explorer before 0x908, 0x910
 * and by the add-slides dialog: [Directory] Files=n, Name=folder\ ; [1]..[n] F=short name. */
#define KAVRIN_LIST_SECTION "Directory"
#define KAVRIN_LIST_COUNT "Files"
#define KAVRIN_LIST_FOLDER "Name"
#define KAVRIN_LIST_FILE_KEY "F"

/* The tag list, AppDir + "tag.lst", written by the editor before it returns
 * KAVRIN_EDITOR_VIEW_TAGS: [Count] N=n ; [1]..[n] F=path. */
#define KAVRIN_TAG_LIST_FILE "tag.lst"
#define KAVRIN_TAG_COUNT_SECTION "Count"
#define KAVRIN_TAG_COUNT "N"
#define KAVRIN_TAG_FILE_KEY "F"

#ifdef __cplusplus
}
#endif

#endif /* KAVRIN_H */
