// The menu that a right click on a panel's picture opens: the vertical scale, the amplitude mapping
// and the colour map as radio items, the grid, the whole stream, copying the readout, and the stream
// shown when the file holds more than one of the panel's frame type. Each item shows the key that
// does the same. Built by the data panel over its view; draws nothing itself.
#pragma once

#include <FL/Fl_Menu_Button.H>

#include <vector>

class DataPanel;

class ViewMenu : public Fl_Menu_Button {
 public:
  ViewMenu(int x, int y, int w, int h, DataPanel* panel);
  // Marks the panel's choices, and the stream it shows, in the radio items.
  void show_choices();
  // Only a right click opens the menu: the keys it shows belong to the panel under the pointer, so the
  // menu does not take them as shortcuts.
  int handle(int event) override;

 private:
  // What each item does: its kind of choice and the choice, in the order the items were added.
  struct Action {
    enum Kind { SCALE, AMPLITUDE, COLOR_MAP, GRID, WHOLE, COPY, STREAM } kind;
    int choice;
  };
  static void item_picked(Fl_Widget* widget, void* action);

  DataPanel* panel;
  std::vector<Action> actions;
  std::vector<int> items;  // each action's index among the menu's items
};
