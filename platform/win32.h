// The Win32 subset that the setup program is written against.
//
// The program includes this header and nothing else of the host. On Windows it
// opens onto the real system headers; everywhere else it declares the types,
// constants and functions that the layer in platform/ implements. The values
// of the constants are the documented Win32 values, so a program built on
// either side sees the same numbers.
#ifndef QUORIX_PLATFORM_WIN32_H
#define QUORIX_PLATFORM_WIN32_H

#ifdef _WIN32

#include <windows.h>
#include <dde.h>
#include <direct.h>
#include <lzexpand.h>

#else

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Base types. They follow the 64-bit Windows data model: LONG, DWORD and UINT
// are 32 bits wide whatever the host's long is, and the message parameters are
// as wide as a pointer.

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef int32_t LONG;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef const BYTE* LPCBYTE;
typedef DWORD* LPDWORD;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef LONG LSTATUS;
typedef DWORD REGSAM;

// Handles are distinct pointer types, so that passing a window where a brush
// is expected fails to compile, as it does with the real headers.
#define QUORIX_DECLARE_HANDLE(name) \
    struct name##__ { int unused; }; \
    typedef struct name##__* name
QUORIX_DECLARE_HANDLE(HWND);
QUORIX_DECLARE_HANDLE(HINSTANCE);
QUORIX_DECLARE_HANDLE(HICON);
QUORIX_DECLARE_HANDLE(HBRUSH);
QUORIX_DECLARE_HANDLE(HDC);
QUORIX_DECLARE_HANDLE(HMENU);
QUORIX_DECLARE_HANDLE(HKEY);
#undef QUORIX_DECLARE_HANDLE
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef HKEY* PHKEY;

#define TRUE 1
#define FALSE 0
#ifndef NULL
#define NULL 0
#endif

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | (((DWORD)((WORD)(b))) << 16)))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))

// ---------------------------------------------------------------------------
// Records.

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagWNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT;

typedef struct tagTEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICA;

#define OFS_MAXPATHNAME 128
typedef struct _OFSTRUCT {
    BYTE cBytes;
    BYTE fFixedDisk;
    WORD nErrCode;
    WORD Reserved1;
    WORD Reserved2;
    CHAR szPathName[OFS_MAXPATHNAME];
} OFSTRUCT, *LPOFSTRUCT;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// ---------------------------------------------------------------------------
// Window messages.

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_USER 0x0400

#define WM_DDE_FIRST 0x03E0
#define WM_DDE_INITIATE (WM_DDE_FIRST + 0)
#define WM_DDE_TERMINATE (WM_DDE_FIRST + 1)
#define WM_DDE_ADVISE (WM_DDE_FIRST + 2)
#define WM_DDE_UNADVISE (WM_DDE_FIRST + 3)
#define WM_DDE_ACK (WM_DDE_FIRST + 4)
#define WM_DDE_DATA (WM_DDE_FIRST + 5)
#define WM_DDE_REQUEST (WM_DDE_FIRST + 6)
#define WM_DDE_POKE (WM_DDE_FIRST + 7)
#define WM_DDE_EXECUTE (WM_DDE_FIRST + 8)
#define WM_DDE_LAST (WM_DDE_FIRST + 8)

// WM_SIZE kinds, WM_ACTIVATE states, WM_SYSCOMMAND commands.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
#define SC_SIZE 0xF000
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120

// Button notifications and edit messages.
#define BN_CLICKED 0
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_REPLACESEL 0x00C2

// Virtual keys.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_F4 0x73
#define VK_PACKET 0xE7

// ---------------------------------------------------------------------------
// Window, class and control styles.

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define CW_USEDEFAULT ((int)0x80000000)

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002

#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L

#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L

#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_TYPEMASK 0x0000000FL

#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L
#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2

// ---------------------------------------------------------------------------
// ShowWindow commands.

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#define SW_FORCEMINIMIZE 11

// ---------------------------------------------------------------------------
// Message boxes.

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_TYPEMASK 0x0000000FL
#define IDOK 1
#define IDCANCEL 2

// ---------------------------------------------------------------------------
// Resources, stock objects and system metrics.

#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDC_ARROW MAKEINTRESOURCEA(32512)

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define SYSTEM_FONT 13

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXFRAME 32
#define SM_CYFRAME 33

// ---------------------------------------------------------------------------
// Errors reported by GetLastError and by the registry functions.

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DRIVE 15L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_NOT_READY 21L
#define ERROR_GEN_FAILURE 31L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BAD_NETPATH 53L
#define ERROR_BAD_NET_NAME 67L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_FILE_INVALID 1006L
#define ERROR_BADKEY 1010L
#define ERROR_REGISTRY_CORRUPT 1015L
#define ERROR_KEY_DELETED 1018L
#define ERROR_NOT_LOCKED 158L

// ---------------------------------------------------------------------------
// Dynamic data exchange, atoms and shareable global memory.

#define HWND_BROADCAST ((HWND)0xffff)
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GMEM_DDESHARE 0x2000
#define GMEM_SHARE 0x2000
#define GMEM_INVALID_HANDLE 0x8000

#define MAXINTATOM 0xC000
#define MAKEINTATOM(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))

// The status word of WM_DDE_ACK (the DDEACK record's bits).
#define DDE_FACK 0x8000
#define DDE_FBUSY 0x4000
#define DDE_FAPPSTATUS 0x00FF

// ---------------------------------------------------------------------------
// LZ expansion.

#define OF_READ 0x0000
#define OF_WRITE 0x0001
#define OF_READWRITE 0x0002
#define OF_CREATE 0x1000
#define OF_EXIST 0x4000
#define HFILE_ERROR (-1)

#define LZERROR_BADINHANDLE (-1)
#define LZERROR_BADOUTHANDLE (-2)
#define LZERROR_READ (-3)
#define LZERROR_WRITE (-4)
#define LZERROR_GLOBALLOC (-5)
#define LZERROR_GLOBLOCK (-6)
#define LZERROR_BADVALUE (-7)
#define LZERROR_UNKNOWNALG (-8)

// ---------------------------------------------------------------------------
// Registry.

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003)

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define REG_OPTION_NON_VOLATILE 0x00000000L
#define REG_CREATED_NEW_KEY 0x00000001L
#define REG_OPENED_EXISTING_KEY 0x00000002L

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

// ---------------------------------------------------------------------------
// Functions: process and errors.

DWORD GetLastError(void);
void SetLastError(DWORD error);
HMODULE GetModuleHandleA(LPCSTR module_name);

// Windows, classes and messages.
ATOM RegisterClassA(const WNDCLASSA* window_class);
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
HWND GetParent(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
int GetDlgCtrlID(HWND window);
HWND SetFocus(HWND window);
HWND GetFocus(void);
HWND GetActiveWindow(void);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND window);
int GetClassNameA(HWND window, LPSTR buffer, int size);

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL GetMessageA(LPMSG message, HWND window, UINT filter_min, UINT filter_max);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
void PostQuitMessage(int exit_code);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
short GetKeyState(int virtual_key);

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC function);
BOOL KillTimer(HWND window, UINT_PTR id);

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

int SetScrollPos(HWND window, int bar, int position, BOOL redraw);
BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
int GetScrollPos(HWND window, int bar);

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Graphics and resources.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
int GetSystemMetrics(int index);
LONG GetDialogBaseUnits(void);
HGDIOBJ GetStockObject(int object);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);

// Global atoms and shareable global memory.
ATOM GlobalAddAtomA(LPCSTR name);
ATOM GlobalDeleteAtom(ATOM atom);
UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size);
ATOM GlobalFindAtomA(LPCSTR name);
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);
size_t GlobalSize(HGLOBAL memory);

// The lParam of a posted DDE message that carries two values (WM_DDE_ACK
// answering an execute, WM_DDE_DATA, ...) is packed into a block of its own.
LPARAM PackDDElParam(UINT message, UINT_PTR low, UINT_PTR high);
BOOL UnpackDDElParam(UINT message, LPARAM lparam, UINT_PTR* low, UINT_PTR* high);
BOOL FreeDDElParam(UINT message, LPARAM lparam);

// LZ expansion.
INT LZOpenFileA(LPSTR file_name, LPOFSTRUCT open_file, WORD style);
LONG LZCopy(INT source, INT destination);
void LZClose(INT file);

// Directory creation, as the C runtime of Windows names it.
int _mkdir(const char* path);
// Removing a file.
BOOL DeleteFileA(LPCSTR file_name);

// Registry.
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                        REGSAM desired, const SECURITY_ATTRIBUTES* security, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM desired, PHKEY result);
LSTATUS RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size);
LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR value_name, LPDWORD value_name_size,
                      LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LSTATUS RegCloseKey(HKEY key);

// The program's entry point, called by the layer's process start-up.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

#endif  // _WIN32

#endif  // QUORIX_PLATFORM_WIN32_H
