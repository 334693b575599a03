#include "frontends/text_render.h"

#include <algorithm>

#include "frontends/actions.h"
#include "frontends/text_util.h"
#include "user/window.h"

namespace platform {

namespace {

std::string centred(const std::string& text, int width)
{
    if ((int)text.size() >= width) return text.substr(0, std::max(width, 0));
    int left = (width - (int)text.size()) / 2;
    return std::string(left, ' ') + text + std::string(width - left - (int)text.size(), ' ');
}

// The terminal's codes that select each style.
const char* style_code(Style s)
{
    switch (s) {
    case Style::plain: return "\x1b[0m";
    case Style::caption: return "\x1b[0;1;37;44m";
    case Style::inactive_caption: return "\x1b[0;30;47m";
    case Style::focus: return "\x1b[0;1;7m";
    case Style::selection: return "\x1b[0;7m";
    case Style::field: return "\x1b[0;4m";
    case Style::hint: return "\x1b[0;2m";
    }
    return "\x1b[0m";
}

// Draws a body inside a frame whose top line carries the title.
Canvas framed(const std::string& title, const Canvas& body, bool live, bool active, HWND close_target)
{
    int columns = std::max(body.columns(), (int)title.size() + (live ? 9 : 6));
    Canvas out(columns + 2, body.rows() + 2);
    std::string head = "+-- " + title + " ";
    head += std::string(std::max(0, columns + 1 - (int)head.size()), '-');
    head += "+";
    out.put(0, 0, head);
    if (live) {
        out.put(columns - 3, 0, "[x]");
        out.style(1, 0, columns, active ? Style::caption : Style::inactive_caption);
        out.hotspots.push_back({Hotspot::Kind::close, columns - 3, 0, 3, close_target, 0});
    }
    for (int row = 1; row <= body.rows(); ++row) {
        out.put(0, row, "|");
        out.put(columns + 1, row, "|");
    }
    out.put(0, body.rows() + 1, "+" + std::string(columns, '-') + "+");
    out.draw(body, 1, 1);
    return out;
}

// An edit field as "[text   ]": the part of the text around the caret that
// fits, as a field that scrolls horizontally shows it.
void put_field(Canvas& canvas, const Window& w, int column, int row, int width, bool focused, bool live)
{
    int inner = std::max(width - 2, 1);
    const std::string& text = w.text;
    size_t caret = std::min(w.edit.caret, text.size());
    // Without a caret to follow (printed, not live) the end of the text is
    // what a user last typed and shows.
    size_t follow = live ? caret : text.size();
    size_t first = follow >= (size_t)inner ? follow - inner + 1 : 0;
    if (!live && text.size() > (size_t)inner) first = text.size() - inner;
    std::string shown = text.substr(first, inner);
    shown += std::string(inner - shown.size(), focused && !live ? '_' : ' ');
    canvas.put(column, row, "[" + shown + "]", Style::plain, width);
    if (!live) return;
    canvas.style(column + 1, row, std::min(inner, width - 1), Style::field);
    if (!focused) return;
    size_t start = std::min({w.edit.caret, w.edit.anchor, text.size()});
    size_t end = std::min(std::max(w.edit.caret, w.edit.anchor), text.size());
    for (size_t i = std::max(start, first); i < end && i < first + inner; ++i)
        canvas.style(column + 1 + int(i - first), row, 1, Style::selection);
    canvas.caret_column = column + 1 + int(caret - first);
    canvas.caret_row = row;
}

std::string button_label(const Window& w)
{
    bool is_default = (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    std::string caption = shown_caption(w.text);
    return "[" + (is_default ? "<" + caption + ">" : " " + caption + " ") + "]";
}

std::string bar(const Window& w, int width)
{
    int inner = std::max(width - 2, 1);
    int range = std::max(w.scroll.maximum - w.scroll.minimum, 1);
    int filled = std::clamp((int)((long long)(w.scroll.position - w.scroll.minimum) * inner / range), 0, inner);
    return "[" + std::string(filled, '#') + std::string(inner - filled, '.') + "]";
}

}  // namespace

Canvas::Canvas(int columns, int rows)
    : columns_(std::max(columns, 1)), rows_(std::max(rows, 1)), text_(size_t(columns_) * rows_, ' '),
      styles_(size_t(columns_) * rows_, Style::plain)
{
}

void Canvas::put(int column, int row, const std::string& text, Style s, int limit)
{
    if (row < 0 || row >= rows_) return;
    for (int i = 0; i < (int)text.size() && i < limit; ++i) {
        int at = column + i;
        if (at < 0 || at >= columns_) continue;
        text_[size_t(row) * columns_ + at] = text[i];
        styles_[size_t(row) * columns_ + at] = s;
    }
}

void Canvas::style(int column, int row, int width, Style s)
{
    if (row < 0 || row >= rows_) return;
    for (int at = std::max(column, 0); at < column + width && at < columns_; ++at) styles_[size_t(row) * columns_ + at] = s;
}

void Canvas::draw(const Canvas& other, int column, int row)
{
    for (int r = 0; r < other.rows_; ++r) {
        int y = row + r;
        if (y < 0 || y >= rows_) continue;
        for (int c = 0; c < other.columns_; ++c) {
            int x = column + c;
            if (x < 0 || x >= columns_) continue;
            text_[size_t(y) * columns_ + x] = other.text_[size_t(r) * other.columns_ + c];
            styles_[size_t(y) * columns_ + x] = other.styles_[size_t(r) * other.columns_ + c];
        }
    }
    for (Hotspot h : other.hotspots) {
        h.column += column;
        h.row += row;
        hotspots.push_back(h);
    }
    if (other.caret_column >= 0) {
        caret_column = other.caret_column + column;
        caret_row = other.caret_row + row;
    }
}

std::vector<std::string> Canvas::plain_lines() const
{
    std::vector<std::string> lines;
    for (int r = 0; r < rows_; ++r) lines.emplace_back(text_.begin() + r * columns_, text_.begin() + (r + 1) * columns_);
    return lines;
}

std::string Canvas::terminal_line(int row) const
{
    std::string out;
    Style current = Style::plain;
    std::string run;
    auto flush = [&]() {
        out += latin1_to_utf8(run);
        run.clear();
    };
    for (int c = 0; c < columns_; ++c) {
        Style s = styles_[size_t(row) * columns_ + c];
        if (s != current) {
            flush();
            out += style_code(s);
            current = s;
        }
        run += text_[size_t(row) * columns_ + c];
    }
    flush();
    if (current != Style::plain) out += style_code(Style::plain);
    return out;
}

Canvas render_window(const Window& top, const FontMetrics& font, bool live)
{
    int cw = std::max(font.average_width, 1), lh = std::max(font.height + font.external_leading, 1);
    int client_w = 0, client_h = 0;
    client_size(top, client_w, client_h);
    Canvas body(std::max(client_w / cw, 20), top.minimized ? 0 : std::max(client_h / lh, 1));
    UserState& s = user_state();
    for (HWND handle : top.children) {
        const Window* c = find_window(handle);
        if (!c || !c->visible || top.minimized) continue;
        int column = c->x / cw, row = c->y / lh, width = std::max(c->width / cw, 1);
        bool focused = s.focus == handle;
        switch (c->kind) {
        case ControlKind::static_text: {
            std::string text = shown_caption(c->text);
            body.put(column, row, (c->style & SS_CENTER) ? centred(text, width) : text, Style::plain, width);
            break;
        }
        case ControlKind::edit:
            put_field(body, *c, column, row, width, focused, live);
            body.hotspots.push_back({Hotspot::Kind::control, column, row, width, handle, 0});
            break;
        case ControlKind::button: {
            std::string label = button_label(*c);
            int at = column + std::max(0, (width - (int)label.size()) / 2);
            body.put(at, row, label, live && focused ? Style::focus : Style::plain, width - (at - column));
            body.hotspots.push_back({Hotspot::Kind::control, column, row, width, handle, 0});
            break;
        }
        case ControlKind::scrollbar: body.put(column, row, bar(*c, width), Style::plain, width); break;
        case ControlKind::none: break;
        }
    }
    std::string title = top.text + (top.minimized ? " (minimised)" : "");
    return framed(title, body, live, s.active == top.handle, top.handle);
}

std::vector<BoxButton> box_buttons(UINT type)
{
    if (type == MB_OKCANCEL) return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    return {{"OK", IDOK}};
}

Canvas render_box(const std::string& text, const std::string& caption, UINT type, int focus, bool live, int wrap)
{
    std::vector<std::string> lines;
    auto count = [](const std::string& s) { return (int)s.size(); };
    for (const std::string& line : text_lines(text)) {
        if (wrap > 4)
            wrap_line(line, wrap - 4, count, lines);
        else
            lines.push_back(line);
    }
    std::vector<BoxButton> buttons = box_buttons(type);
    std::string row;
    std::vector<int> starts;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (i) row += "  ";
        starts.push_back((int)row.size());
        row += std::string("[ ") + buttons[i].caption + " ]";
    }
    int width = std::max((int)caption.size() + 6, (int)row.size() + 2);
    for (const std::string& line : lines) width = std::max(width, (int)line.size() + 2);
    Canvas body(width, (int)lines.size() + 2);
    for (size_t i = 0; i < lines.size(); ++i) body.put(1, (int)i, lines[i]);
    int left = (width - (int)row.size()) / 2, button_row = (int)lines.size() + 1;
    body.put(left, button_row, row);
    for (size_t i = 0; i < buttons.size(); ++i) {
        int size = (int)std::string(buttons[i].caption).size() + 4;
        if (live && (int)i == focus) body.style(left + starts[i], button_row, size, Style::focus);
        body.hotspots.push_back({Hotspot::Kind::box_button, left + starts[i], button_row, size, nullptr, (int)i});
    }
    return framed(caption, body, live, true, nullptr);
}

}  // namespace platform
