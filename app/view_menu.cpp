// The items of the view menu and what picking one does to its panel.
#include "app/view_menu.h"

#include <FL/Fl.H>

#include <string>

#include "app/data_panel.h"

namespace {

const char* const SCALE_LABELS[] = {"Linear scale", "Log scale", "Musical scale"};
const char* const AMPLITUDE_LABELS[] = {"Contrast curve", "Decibels"};
const char* const COLOR_MAP_LABELS[] = {"Ramp colours", "Viridis", "Magma", "Inferno", "Grey"};

}  // namespace

ViewMenu::ViewMenu(int x, int y, int w, int h, DataPanel* panel) : Fl_Menu_Button(x, y, w, h), panel(panel) {
  // Without a box the button draws nothing, takes no focus and opens on the right button alone.
  box(FL_NO_BOX);
  clear_visible_focus();
  // The actions are all known before the first item is added, so their addresses stay put.
  for (int i = 0; i < int(std::size(SCALE_LABELS)); ++i) actions.push_back({Action::SCALE, i});
  for (int i = 0; i < int(std::size(AMPLITUDE_LABELS)); ++i) actions.push_back({Action::AMPLITUDE, i});
  for (int i = 0; i < int(std::size(COLOR_MAP_LABELS)); ++i) actions.push_back({Action::COLOR_MAP, i});
  actions.push_back({Action::GRID, 0});
  actions.push_back({Action::WHOLE, 0});
  actions.push_back({Action::COPY, 0});
  const bool several_streams = panel->streams.size() > 1;
  if (several_streams)
    for (size_t i = 0; i < panel->streams.size(); ++i) actions.push_back({Action::STREAM, int(i)});

  for (Action& action : actions) {
    std::string label;
    int key = 0, flags = FL_MENU_RADIO;
    switch (action.kind) {
      case Action::SCALE:
        label = SCALE_LABELS[action.choice];
        key = 'l';
        break;
      case Action::AMPLITUDE:
        label = AMPLITUDE_LABELS[action.choice];
        key = 'd';
        break;
      case Action::COLOR_MAP:
        label = COLOR_MAP_LABELS[action.choice];
        key = 'k';
        break;
      case Action::GRID:
        label = "Grid";
        key = 'g';
        flags = FL_MENU_TOGGLE;
        break;
      case Action::WHOLE:
        label = "Show whole stream";
        key = FL_Home;
        flags = 0;
        break;
      case Action::COPY:
        label = "Copy readout";
        key = FL_CTRL + 'c';
        flags = 0;
        break;
      case Action::STREAM: {
        const StreamOfType& stream = panel->streams[size_t(action.choice)];
        // A slash would start a submenu of its own.
        label = "Stream/" + std::to_string(stream.id) + " (" + std::to_string(stream.frames) + " frames)";
        break;
      }
    }
    // The radio groups each end with a divider, and so do the single items before the streams.
    bool last_of_kind = &action == &actions.back() || (&action + 1)->kind != action.kind;
    bool single = action.kind == Action::GRID || action.kind == Action::WHOLE;
    if (last_of_kind && !single && action.kind != Action::STREAM) flags |= FL_MENU_DIVIDER;
    items.push_back(add(label.c_str(), key, item_picked, &action, flags));
  }
  show_choices();
}

void ViewMenu::show_choices() {
  for (size_t i = 0; i < actions.size(); ++i) {
    const Action& action = actions[i];
    bool chosen = false;
    switch (action.kind) {
      case Action::SCALE: chosen = int(panel->scale) == action.choice; break;
      case Action::AMPLITUDE: chosen = int(panel->amplitude) == action.choice; break;
      case Action::COLOR_MAP: chosen = int(panel->color_map) == action.choice; break;
      case Action::STREAM: chosen = panel->streams[size_t(action.choice)].id == panel->stream_id; break;
      case Action::GRID: chosen = panel->grid; break;
      case Action::WHOLE:
      case Action::COPY: continue;
    }
    int flags = mode(items[i]);
    mode(items[i], chosen ? flags | FL_MENU_VALUE : flags & ~FL_MENU_VALUE);
  }
}

int ViewMenu::handle(int event) { return event == FL_SHORTCUT ? 0 : Fl_Menu_Button::handle(event); }

void ViewMenu::item_picked(Fl_Widget* widget, void* data) {
  DataPanel* panel = static_cast<ViewMenu*>(widget)->panel;
  const Action& action = *static_cast<const Action*>(data);
  switch (action.kind) {
    case Action::SCALE: panel->choose_scale(VERTICAL_SCALES[action.choice]); break;
    case Action::AMPLITUDE: panel->choose_amplitude(AMPLITUDE_SCALES[action.choice]); break;
    case Action::COLOR_MAP: panel->choose_color_map(COLOR_MAPS[action.choice]); break;
    case Action::GRID: panel->show_grid(!panel->grid); break;
    case Action::WHOLE: panel->show_whole(); break;
    case Action::COPY: panel->copy_readout(); break;
    case Action::STREAM: panel->show_stream(panel->streams[size_t(action.choice)].id); break;
  }
}
