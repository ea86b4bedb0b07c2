// Tests of the modal error dialog: its geometry and widgets for each start-up message, and its
// dismissal by the OK button, the Enter key and the window system's close.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>

#include <cstring>

#include <gtest/gtest.h>

#include "app/error_dialog.h"
#include "app/viewer_main.h"
#include "tests/support/fltk_driver.h"

namespace {

struct Rect {
  int x, y, w, h;
  bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

Rect rect(const Fl_Widget* w) { return Rect{w->x(), w->y(), w->w(), w->h()}; }

void PrintTo(const Rect& r, std::ostream* os) { *os << r.x << "," << r.y << " " << r.w << "x" << r.h; }

enum Dismissal { BY_OK, BY_ENTER, BY_CLOSE };

// Shows `message`, checks the dialog from inside its wait loop and dismisses it.
void check_dialog(const char* message, int expected_width, Dismissal dismissal) {
  SCOPED_TRACE(message);
  bool inspected = false;
  when_idle([&] {
    Fl_Window* dialog = shown_window("Ondavue Error");
    ASSERT_NE(dialog, nullptr);
    inspected = true;
    EXPECT_EQ(shown_windows().size(), 1u);
    EXPECT_TRUE(dialog->modal());
    EXPECT_EQ(dialog->w(), expected_width);
    EXPECT_EQ(dialog->h(), 80);
    ASSERT_EQ(dialog->children(), 3);

    Fl_Widget* icon = dialog->child(0);
    EXPECT_EQ(rect(icon), (Rect{5, 5, 40, 40}));
    EXPECT_STREQ(icon->label(), "!");
    EXPECT_EQ(icon->box(), FL_THIN_UP_BOX);
    EXPECT_EQ(icon->color(), FL_WHITE);
    EXPECT_EQ(icon->labelfont(), FL_TIMES_BOLD);
    EXPECT_EQ(icon->labelsize(), 24);
    EXPECT_EQ(icon->labelcolor(), FL_BLUE);

    Fl_Widget* text = dialog->child(1);
    EXPECT_EQ(rect(text), (Rect{50, 5, 245, 40}));
    EXPECT_EQ(text->label(), message) << "the label is the caller's text, not a copy";
    EXPECT_EQ(text->align(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE);

    Fl_Return_Button* ok = dynamic_cast<Fl_Return_Button*>(dialog->child(2));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(rect(ok), (Rect{220, 50, 75, 25}));
    EXPECT_STREQ(ok->label(), "OK");
    EXPECT_EQ(ok->callback(), error_ok_cb);

    switch (dismissal) {
      case BY_OK: click(ok); break;
      case BY_ENTER: press_enter(dialog); break;
      case BY_CLOSE: dialog->do_callback(); break;
    }
    EXPECT_FALSE(dialog->visible()) << "dismissal hides the dialog at once";
  });
  show_error(message);
  EXPECT_TRUE(inspected);
  EXPECT_TRUE(shown_windows().empty()) << "the dialog is gone when show_error returns";
}

}  // namespace

TEST(ErrorDialog, GeometryAndDismissalForEachStartupMessage) {
  check_dialog(NO_FILE_MESSAGE, 300, BY_OK);
  check_dialog(READ_ERROR_MESSAGE, 300, BY_ENTER);
  check_dialog(NO_TYPES_MESSAGE, 400, BY_CLOSE);
  check_dialog(NO_TYPES_MESSAGE, 400, BY_ENTER);
}

TEST(ErrorDialog, WidthGrowsEightPixelsPerCharacterFrom38) {
  EXPECT_EQ(std::strlen(NO_TYPES_MESSAGE), 50u);
  check_dialog("0123456789012345678901234567890123456", 300, BY_OK);    // 37 characters
  check_dialog("01234567890123456789012345678901234567", 304, BY_OK);   // 38
  check_dialog("0123456789012345678901234567890123456789", 320, BY_ENTER);  // 40
}
