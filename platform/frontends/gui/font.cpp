// The default font's metrics, read from the very font object FLTK draws with
// (its Xft font and, below it, the FreeType face), in the terms of
// GetTextMetricsA.
// FLTK declares its current Xft font only for its own sources; the symbol is
// exported, and this is the one place that reaches for it.
#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xft/Xft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "frontends/gui/gui.h"

namespace platform::gui {

FontMetrics measure_default_font()
{
    fl_font(TEXT_FONT, FONT_SIZE);
    FontMetrics m;
    // Without the Xft font (a build of FLTK on core X fonts) FLTK's own
    // figures stand in: the height is ascent plus descent either way, and the
    // average width is that of an 'x', which is how the system measures a
    // font that does not state its average width.
    m.ascent = fl_height() - fl_descent();
    m.height = fl_height();
    m.external_leading = 0;
    m.average_width = (int)std::lround(fl_width('x'));
    m.max_width = m.average_width * 2;

    auto* font = static_cast<XftFont*>(fl_xftfont);
    if (!font) return m;
    m.ascent = font->ascent;
    m.height = font->ascent + font->descent;
    // The font's line spacing beyond its cell is the leading that the system
    // calls external.
    m.external_leading = std::max(font->height - m.height, 0);
    m.max_width = font->max_advance_width;
    if (FT_Face face = XftLockFace(font)) {
        // A scalable font states its average character width in its OS/2
        // table, in font units; the system scales that field to the size.
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->xAvgCharWidth > 0 && face->size)
            m.average_width = (int)((FT_MulFix(os2->xAvgCharWidth, face->size->metrics.x_scale) + 32) >> 6);
        XftUnlockFace(font);
    }
    m.average_width = std::max(m.average_width, 1);
    return m;
}

}  // namespace platform::gui
