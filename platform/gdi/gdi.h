// Device contexts, stock objects and resources of the machine's graphics.
#ifndef QUORIX_PLATFORM_GDI_GDI_H
#define QUORIX_PLATFORM_GDI_GDI_H

#include <cstdint>

#include "win32.h"

namespace platform {

// A device context for the window (null for the screen), or null when none
// can be had. BeginPaint and GetDC take theirs here.
HDC acquire_dc(HWND window);
// Gives a device context back; false if it was not handed out.
bool release_dc(HWND window, HDC dc);

// The colour of a stock brush as 0xRRGGBB, or -1 for a handle that is not one.
long stock_brush_color(HBRUSH brush);

void reset_gdi_state();

}  // namespace platform

#endif
