// The look of windows: frames, captions with their buttons, push buttons and
// text, drawn with FLTK's primitives in the classic three-dimensional style.
#include <FL/fl_draw.H>

#include <algorithm>

#include "frontends/actions.h"
#include "frontends/gui/gui.h"
#include "frontends/text_util.h"
#include "gdi/gdi.h"

namespace platform::gui {

namespace {

// A rectangle's edges: the lit colour on top and left, the shaded one on the
// bottom and right.
void edges(int x, int y, int width, int height, Fl_Color lit, Fl_Color shaded)
{
    if (width <= 0 || height <= 0) return;
    fl_color(lit);
    fl_xyline(x, y, x + width - 1);
    fl_yxline(x, y, y + height - 1);
    fl_color(shaded);
    fl_xyline(x, y + height - 1, x + width - 1);
    fl_yxline(x + width - 1, y, y + height - 1);
}

// Two rings of edges around a face: raised, or sunken when pressed.
void bevel(int x, int y, int width, int height, bool sunken)
{
    fl_color(FACE);
    fl_rectf(x, y, width, height);
    if (sunken) {
        edges(x, y, width, height, DARK, HIGHLIGHT);
        edges(x + 1, y + 1, width - 2, height - 2, SHADOW, LIGHT);
    } else {
        edges(x, y, width, height, HIGHLIGHT, DARK);
        edges(x + 1, y + 1, width - 2, height - 2, LIGHT, SHADOW);
    }
}

struct Box {
    int x, y, width, height;
    bool contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// Where the caption buttons sit: close at the right end, maximize and
// minimize side by side left of it.
struct CaptionButtons {
    Box minimize{}, maximize{}, close{};
};

CaptionButtons caption_buttons(const Decoration& d, int width)
{
    CaptionButtons b;
    int height = std::max(d.caption - 5, 4);
    int button_width = height + 2;
    int y = d.frame + 2;
    int right = width - d.frame - 2;
    if (d.close_box) {
        b.close = {right - button_width, y, button_width, height};
        right = b.close.x - 2;
    }
    if (d.maximize_box || d.minimize_box) {
        b.maximize = {right - button_width, y, button_width, height};
        b.minimize = {b.maximize.x - button_width, y, button_width, height};
    }
    return b;
}

void draw_glyph(Part part, const Box& b, bool restore, bool pressed)
{
    bevel(b.x, b.y, b.width, b.height, pressed);
    int shift = pressed ? 1 : 0;
    int x = b.x + 3 + shift, y = b.y + 2 + shift;
    int w = b.width - 7, h = b.height - 5;
    fl_color(DARK);
    switch (part) {
    case Part::close:
        for (int t = 0; t < 2; ++t) {
            fl_line(x + t + 1, y + 1, x + t + h - 1, y + h - 1);
            fl_line(x + t + h - 1, y + 1, x + t + 1, y + h - 1);
        }
        break;
    case Part::minimize: fl_rectf(x + 1, y + h - 2, std::max(w - 4, 2), 2); break;
    case Part::maximize:
        if (restore) {
            int s = std::max(w - 3, 4);
            fl_rect(x + 3, y, s, s - 1);
            fl_xyline(x + 3, y + 1, x + 2 + s);
            fl_color(FACE);
            fl_rectf(x, y + 3, s, s - 1);
            fl_color(DARK);
            fl_rect(x, y + 3, s, s - 1);
            fl_xyline(x, y + 4, x + s - 1);
        } else {
            fl_rect(x, y, w, h);
            fl_xyline(x, y + 1, x + w - 1);
        }
        break;
    default: break;
    }
}

// The class icon of an application window: a little window of its own.
void draw_icon(int x, int y, int size)
{
    if (size < 6) return;
    fl_color(HIGHLIGHT);
    fl_rectf(x, y + 1, size, size - 2);
    fl_color(ACTIVE_CAPTION);
    fl_rectf(x, y + 1, size, std::max(size / 4, 2));
    fl_color(DARK);
    fl_rect(x, y + 1, size, size - 2);
}

}  // namespace

Fl_Color brush_color(HBRUSH brush)
{
    long color = stock_brush_color(brush);
    if (color < 0) return FL_WHITE;
    return fl_rgb_color(uchar((color >> 16) & 0xFF), uchar((color >> 8) & 0xFF), uchar(color & 0xFF));
}

void draw_text(const std::string& latin1, int x, int baseline)
{
    std::string utf8 = latin1_to_utf8(latin1);
    fl_draw(utf8.c_str(), (int)utf8.size(), x, baseline);
}

int text_width(const std::string& latin1)
{
    std::string utf8 = latin1_to_utf8(latin1);
    return (int)(fl_width(utf8.c_str(), (int)utf8.size()) + 0.5);
}

void draw_decoration(const Decoration& d, int width, int height, Part pressed)
{
    fl_color(FACE);
    fl_rectf(0, 0, width, height);
    if (d.frame >= 2) {
        edges(0, 0, width, height, FACE, DARK);
        edges(1, 1, width - 2, height - 2, HIGHLIGHT, SHADOW);
    } else if (d.frame == 1) {
        fl_color(DARK);
        fl_rect(0, 0, width, height);
    }
    if (d.caption <= 1) return;

    int bar_x = d.frame, bar_y = d.frame, bar_width = width - 2 * d.frame, bar_height = d.caption - 1;
    fl_color(d.active ? ACTIVE_CAPTION : INACTIVE_CAPTION);
    fl_rectf(bar_x, bar_y, bar_width, bar_height);

    int icon = std::min(16, bar_height - 2);
    draw_icon(bar_x + 2, bar_y + (bar_height - icon) / 2, icon);

    CaptionButtons buttons = caption_buttons(d, width);
    int text_right = bar_x + bar_width - 2;
    if (d.minimize_box || d.maximize_box)
        text_right = buttons.minimize.x - 2;
    else if (d.close_box)
        text_right = buttons.close.x - 2;
    int text_left = bar_x + 2 + icon + 4;
    fl_push_clip(text_left, bar_y, std::max(text_right - text_left, 0), bar_height);
    fl_font(CAPTION_FONT, FONT_SIZE);
    fl_color(d.active ? HIGHLIGHT : FACE);
    draw_text(d.title, text_left, bar_y + (bar_height - fl_height()) / 2 + fl_height() - fl_descent());
    fl_pop_clip();

    if (d.minimize_box || d.maximize_box) {
        draw_glyph(d.minimized ? Part::maximize : Part::minimize, buttons.minimize, true,
                   pressed == Part::minimize);
        draw_glyph(Part::maximize, buttons.maximize, d.maximized, pressed == Part::maximize);
    }
    if (d.close_box) draw_glyph(Part::close, buttons.close, false, pressed == Part::close);
}

Part hit_test(const Decoration& d, int width, int height, int x, int y)
{
    if (x < 0 || y < 0 || x >= width || y >= height) return Part::none;
    CaptionButtons buttons = caption_buttons(d, width);
    if (d.caption > 1) {
        if (d.close_box && buttons.close.contains(x, y)) return Part::close;
        if ((d.minimize_box || d.maximize_box) && buttons.minimize.contains(x, y)) return Part::minimize;
        if ((d.minimize_box || d.maximize_box) && buttons.maximize.contains(x, y)) return Part::maximize;
    }
    bool sizing = d.sizing && !d.maximized && !d.minimized;
    if (sizing) {
        // The corners reach along the edges as far as a caption is high.
        int corner = std::max(d.caption, 2 * d.frame);
        bool left = x < d.frame, right = x >= width - d.frame;
        bool top = y < d.frame, bottom = y >= height - d.frame;
        bool near_left = x < corner, near_right = x >= width - corner;
        bool near_top = y < corner, near_bottom = y >= height - corner;
        if ((top && near_left) || (left && near_top)) return Part::top_left;
        if ((top && near_right) || (right && near_top)) return Part::top_right;
        if ((bottom && near_left) || (left && near_bottom)) return Part::bottom_left;
        if ((bottom && near_right) || (right && near_bottom)) return Part::bottom_right;
        if (left) return Part::left;
        if (right) return Part::right;
        if (top) return Part::top;
        if (bottom) return Part::bottom;
    }
    if (d.caption > 1 && y >= d.frame && y < d.frame + d.caption - 1 && x >= d.frame && x < width - d.frame)
        return Part::caption;
    if (x >= d.frame && x < width - d.frame && y >= d.frame + std::max(d.caption, 0) && y < height - d.frame)
        return Part::client;
    return Part::none;
}

void draw_push_button(int x, int y, int width, int height, const std::string& caption, bool is_default,
                      bool pressed, bool focused)
{
    fl_color(FACE);
    fl_rectf(x, y, width, height);
    int inner_x = x, inner_y = y, inner_width = width, inner_height = height;
    if (is_default || pressed) {
        fl_color(DARK);
        fl_rect(x, y, width, height);
        inner_x += 1;
        inner_y += 1;
        inner_width -= 2;
        inner_height -= 2;
    }
    if (pressed) {
        fl_color(SHADOW);
        fl_rect(inner_x, inner_y, inner_width, inner_height);
    } else {
        edges(inner_x, inner_y, inner_width, inner_height, HIGHLIGHT, DARK);
        edges(inner_x + 1, inner_y + 1, inner_width - 2, inner_height - 2, LIGHT, SHADOW);
    }

    std::string shown = shown_caption(caption);
    fl_font(TEXT_FONT, FONT_SIZE);
    int shift = pressed ? 1 : 0;
    int text_x = x + (width - text_width(shown)) / 2 + shift;
    int baseline = y + (height - fl_height()) / 2 + fl_height() - fl_descent() + shift;
    fl_push_clip(inner_x + 2, inner_y + 2, std::max(inner_width - 4, 0), std::max(inner_height - 4, 0));
    fl_color(DARK);
    draw_text(shown, text_x, baseline);
    fl_pop_clip();

    if (focused && inner_width > 8 && inner_height > 8) {
        fl_color(DARK);
        fl_line_style(FL_DOT);
        fl_rect(inner_x + 3, inner_y + 3, inner_width - 6, inner_height - 6);
        fl_line_style(0);
    }
}

}  // namespace platform::gui
