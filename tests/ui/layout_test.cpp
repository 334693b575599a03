// The control layout kit: the 1.5 rule, label sizes, the identifier counter
// and the units.
#include "faults.h"
#include "setup/setup.h"
#include "support/machine_fixture.h"
#include "ui/instdir.h"
#include "ui/layout.h"
#include "user/window.h"

namespace {

class LayoutTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        start_font(7, 16);
    }

    void start_font(int width, int height)
    {
        platform::Options options;
        options.font_width = width;
        options.font_height = height;
        start_with({}, options);
        register_test_class("instdir", instdir_proc);
        char_width = line_height = next_control_id = 0;
    }
};

TEST_F(LayoutTest, OneAndAHalfTruncatesTowardZero)
{
    struct Case {
        int q;
        int scaled;
    };
    constexpr Case cases[] = {{0, 0}, {1, 1}, {13, 19}, {16, 24}, {161, 241}, {17, 25}};
    for (const Case& c : cases) EXPECT_EQ(one_and_a_half(c.q), c.scaled) << c.q;
}

TEST_F(LayoutTest, CreatingTheDialogWindowMeasuresTheUnits)
{
    HWND window = create_instdir_window(1, 2, 300, 200, "QUORIX Setup");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(char_width, 7);
    EXPECT_EQ(line_height, 16);
    EXPECT_FALSE(IsWindowVisible(window)) << "created hidden";
    auto created = events("window");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0]["style"], WS_OVERLAPPEDWINDOW);
}

TEST_F(LayoutTest, ASecondDialogWindowReplacesTheUnits)
{
    create_instdir_window(0, 0, 300, 200, "a");
    start_font(8, 13);
    create_instdir_window(0, 0, 300, 200, "b");
    EXPECT_EQ(char_width, 8);
    EXPECT_EQ(line_height, 13);
}

TEST_F(LayoutTest, WithoutADeviceContextOrMetricsTheUnitsAreTheDefaultFonts)
{
    struct Case {
        const char* name;
        platform::Fault platform::Faults::*fault;
    };
    const Case cases[] = {{"no device context", &platform::Faults::get_dc},
                          {"no text metrics", &platform::Faults::text_metrics}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start_font(9, 21);
        (platform::faults().*c.fault).arm();
        create_instdir_window(0, 0, 300, 200, "x");
        EXPECT_TRUE((platform::faults().*c.fault).fired());
        EXPECT_EQ(char_width, 9);
        EXPECT_EQ(line_height, 21);
    }
}

TEST_F(LayoutTest, LabelsAreSizedFromTheirTextAndShareTheNextIdentifier)
{
    HWND window = create_instdir_window(0, 0, 300, 200, "x");
    HWND first = create_label(window, 1, 2, "Installation directory:");
    HWND empty = create_label(window, 1, 2, "");
    HWND edit = create_edit(window, 1, 2, 30, 24, "c:\\quorix");
    HWND button = create_button(window, 1, 2, 30, 24, "Cancel");
    HWND default_button = create_default_button(window, 1, 2, 30, 24, "OK");
    struct Case {
        HWND control;
        int width;
        int height;
        int id;
        const char* class_name;
        DWORD style;
    };
    const Case cases[] = {
        {first, 241, 24, 0, "static", WS_CHILD | WS_VISIBLE | SS_LEFT},
        {empty, 0, 24, 0, "static", WS_CHILD | WS_VISIBLE | SS_LEFT},
        {edit, 30, 24, 0, "edit", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL},
        {button, 30, 24, 1, "button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON},
        {default_button, 30, 24, 2, "button", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON},
    };
    for (const Case& c : cases) {
        const platform::Window* w = platform::find_window(c.control);
        ASSERT_NE(w, nullptr);
        SCOPED_TRACE(w->text);
        EXPECT_EQ(w->width, c.width);
        EXPECT_EQ(w->height, c.height);
        EXPECT_EQ(w->id, c.id);
        EXPECT_EQ(w->window_class->name, c.class_name);
        EXPECT_EQ(w->style, c.style);
    }
    EXPECT_EQ(next_control_id, 3);
    // Labels and fields are created empty and then given their text.
    auto created = events("window");
    EXPECT_EQ(created[1]["title"], "");
    EXPECT_EQ(created[3]["title"], "");
    EXPECT_EQ(created[4]["title"], "Cancel");
}

TEST_F(LayoutTest, TheCounterAdvancesEvenWhenAControlCannotBeCreated)
{
    EXPECT_EQ(create_label(nullptr, 0, 0, "x"), nullptr);
    EXPECT_EQ(next_control_id, 0);
    EXPECT_EQ(create_edit(nullptr, 0, 0, 1, 1, "x"), nullptr);
    EXPECT_EQ(create_button(nullptr, 0, 0, 1, 1, "x"), nullptr);
    EXPECT_EQ(create_default_button(nullptr, 0, 0, 1, 1, "x"), nullptr);
    EXPECT_EQ(next_control_id, 3);
}

}  // namespace
