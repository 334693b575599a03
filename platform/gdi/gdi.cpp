// Device contexts and text metrics, screen metrics, stock objects, and the
// system's icon and cursor. The figures come from the front-end: the script
// front-end's are fixed by SETUP_FONT and SETUP_SCREEN, the gui's are those
// of its real default font and screen.
#include "gdi/gdi.h"

#include <map>

#include "faults.h"
#include "machine.h"
#include "user/window.h"

namespace platform {

namespace {

struct GdiState {
    std::map<uintptr_t, HWND> device_contexts;   // live device contexts and their windows
    uintptr_t next_dc = 0x20000;                 // device context handles are never reused
};

GdiState& gdi_state()
{
    static GdiState s;
    return s;
}

// Stock objects are fixed handles, one per index, as on Windows.
constexpr uintptr_t STOCK_BASE = 0x30000;

struct StockBrush {
    int index;
    long color;
};

constexpr StockBrush STOCK_BRUSHES[] = {
    {WHITE_BRUSH, 0xFFFFFF}, {LTGRAY_BRUSH, 0xC0C0C0}, {GRAY_BRUSH, 0x808080},
    {DKGRAY_BRUSH, 0x404040}, {BLACK_BRUSH, 0x000000},
};

// The system's predefined icons and cursors: IDI_APPLICATION..IDI_WINLOGO and IDC_ARROW..
constexpr int FIRST_PREDEFINED_RESOURCE = 32512;
constexpr int LAST_PREDEFINED_RESOURCE = 32650;
constexpr uintptr_t ICON_BASE = 0x40000;
constexpr uintptr_t CURSOR_BASE = 0x50000;

}  // namespace

HDC acquire_dc(HWND window)
{
    if (window && !find_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    if (faults().get_dc.fire()) return NULL;
    GdiState& s = gdi_state();
    HDC dc = (HDC)s.next_dc;
    s.next_dc += 4;
    s.device_contexts[(uintptr_t)dc] = window;
    return dc;
}

bool release_dc(HWND, HDC dc)
{
    return gdi_state().device_contexts.erase((uintptr_t)dc) > 0;
}

long stock_brush_color(HBRUSH brush)
{
    for (const StockBrush& b : STOCK_BRUSHES)
        if ((uintptr_t)brush == STOCK_BASE + (uintptr_t)b.index) return b.color;
    return -1;
}

void reset_gdi_state()
{
    gdi_state() = GdiState{};
}

}  // namespace platform

using namespace platform;

HDC GetDC(HWND window)
{
    return acquire_dc(window);
}

int ReleaseDC(HWND window, HDC dc)
{
    return release_dc(window, dc) ? 1 : 0;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics)
{
    if (!metrics || !gdi_state().device_contexts.count((uintptr_t)dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (faults().text_metrics.fire()) return FALSE;
    FontMetrics font = frontend().font();
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = font.height;
    metrics->tmAscent = font.ascent;
    metrics->tmDescent = font.height - font.ascent;
    metrics->tmExternalLeading = font.external_leading;
    metrics->tmAveCharWidth = font.average_width;
    metrics->tmMaxCharWidth = font.max_width;
    metrics->tmWeight = 400;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFF;
    metrics->tmDefaultChar = '?';
    metrics->tmBreakChar = ' ';
    return TRUE;
}

int GetSystemMetrics(int index)
{
    Frontend& f = frontend();
    switch (index) {
    case SM_CXSCREEN: return f.screen_width();
    case SM_CYSCREEN: return f.screen_height();
    case SM_CYCAPTION: return f.non_client().caption;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXFRAME:
    case SM_CYFRAME: return f.non_client().frame;
    }
    // Windows answers 0 for an index it does not know.
    return 0;
}

LONG GetDialogBaseUnits(void)
{
    FontMetrics font = frontend().font();
    return MAKELONG(font.average_width, font.height);
}

HGDIOBJ GetStockObject(int object)
{
    for (const StockBrush& b : STOCK_BRUSHES)
        if (b.index == object) return (HGDIOBJ)(STOCK_BASE + (uintptr_t)object);
    if (object == NULL_BRUSH || object == SYSTEM_FONT) return (HGDIOBJ)(STOCK_BASE + (uintptr_t)object);
    return NULL;
}

namespace {

template <typename Handle>
Handle load_predefined(HINSTANCE instance, LPCSTR name, uintptr_t base)
{
    // Only the system's own resources exist here: no module carries any.
    uintptr_t id = (uintptr_t)name;
    if (instance != NULL || id < FIRST_PREDEFINED_RESOURCE || id > LAST_PREDEFINED_RESOURCE) {
        SetLastError(1814);   // ERROR_RESOURCE_NAME_NOT_FOUND
        return NULL;
    }
    return (Handle)(base + id);
}

}  // namespace

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    return load_predefined<HICON>(instance, name, ICON_BASE);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return load_predefined<HCURSOR>(instance, name, CURSOR_BASE);
}
