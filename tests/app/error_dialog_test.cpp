// Tests of the modal error dialog: its size and parts for messages of each length, and its dismissal
// by the OK button, the Enter key and the window system's close.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <array>

#include <gtest/gtest.h>

#include "app/error_dialog.h"
#include "app/viewer_main.h"
#include "tests/support/fltk_driver.h"

namespace {

std::array<int, 4> rect(const Fl_Widget* w) { return {w->x(), w->y(), w->w(), w->h()}; }

}  // namespace

TEST(ErrorDialog, SizeGrowsEightPixelsPerCharacterFrom38AndAnyDismissalEndsIt) {
  enum Dismissal { BY_OK, BY_ENTER, BY_CLOSE };
  const struct {
    const char* message;
    int width;
    Dismissal dismissal;
  } cases[] = {
      {NO_FILE_MESSAGE, 300, BY_OK},     {READ_ERROR_MESSAGE, 300, BY_ENTER},
      {NO_TYPES_MESSAGE, 400, BY_CLOSE},  // 50 characters
      {"0123456789012345678901234567890123456", 300, BY_ENTER},    // 37 characters
      {"01234567890123456789012345678901234567", 304, BY_OK},      // 38
      {"0123456789012345678901234567890123456789", 320, BY_ENTER}, // 40
  };
  std::array<std::array<int, 4>, 3> first_parts = {};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    bool inspected = false;
    when_idle([&] {
      Fl_Window* dialog = shown_window("Ondavue Error");
      ASSERT_NE(dialog, nullptr);
      inspected = true;
      EXPECT_TRUE(dialog->modal());
      EXPECT_EQ(dialog->h(), 80);
      EXPECT_EQ(dialog->w(), c.width);
      ASSERT_EQ(dialog->children(), 3);
      EXPECT_STREQ(dialog->child(0)->label(), "!");
      EXPECT_EQ(dialog->child(1)->label(), c.message) << "the caller's text, not a copy";
      // The parts keep their places whatever the width, inside the narrowest dialog.
      std::array<std::array<int, 4>, 3> parts;
      for (int i = 0; i < 3; ++i) {
        parts[i] = rect(dialog->child(i));
        EXPECT_TRUE(parts[i][0] >= 0 && parts[i][1] >= 0 && parts[i][0] + parts[i][2] <= 300 &&
                    parts[i][1] + parts[i][3] <= 80) << "part " << i;
      }
      if (first_parts[0][2] == 0) first_parts = parts;
      EXPECT_EQ(parts, first_parts);
      switch (c.dismissal) {
        case BY_OK: click(dialog->child(2)); break;
        case BY_ENTER: press_enter(dialog); break;
        case BY_CLOSE: dialog->do_callback(); break;
      }
      EXPECT_FALSE(dialog->visible()) << "dismissal hides the dialog at once";
    });
    show_error(c.message);
    EXPECT_TRUE(inspected);
    EXPECT_TRUE(shown_windows().empty()) << "the dialog is gone when show_error returns";
  }
}
