// sdif-render's pictures against the viewer's window: for each kind of view, at the opening state and
// zoomed, the PNG equals the view area of the window read back from the X display, pixel for pixel.
// Needs a true-colour display (the test script provides one).
#include <gtest/gtest.h>
// The toolkit's X header defines Xlib macros that clash with names in gtest, so it comes after it.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Slider.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

#include "app/data_panel.h"
#include "app/panel_bands.h"
#include "app/range_slider.h"
#include "render/panel_picture.h"
#include "render/render_run.h"
#include "tests/support/test_files.h"
#include "views/sdif_view.h"

namespace {

// Three streams from 0 to 2 seconds whose traces and bins move, so that every setting shows something
// different.
SdifWriter moving_streams() {
  SdifWriter w;
  w.file_header();
  for (int f = 0; f <= 40; ++f) {
    float wobble = float(std::sin(f * 0.4)), t = f * 0.05f;
    w.begin_frame("1FQ0", t, 1, 1).matrix_f32("1FQ0", 2, 2, {300 + 150 * wobble, 0.9f, 700.0f + 20 * f, 0.02f * f});
    std::vector<float> partials, bins;
    for (int k = 0; k < 6; ++k)
      partials.insert(partials.end(), {float(k), 1500 + 3000 * k + 400 * wobble, 0.15f * k, 0});
    for (int b = 0; b < 64; ++b) bins.insert(bins.end(), {float(0.5 + 0.5 * std::sin(b * 0.3 + f * 0.2)), 0.1f});
    w.end_frame().begin_frame("1TRC", t, 2, 1).matrix_f32("1TRC", 6, 4, partials).end_frame();
    w.begin_frame("1STF", t, 3, 2).matrix_f32("1STI", 1, 1, {1}).matrix_f32("1STF", 64, 2, bins).end_frame();
  }
  return w;
}

// The file's pixels as 8-bit RGB; an image of size 0 when it is no readable PNG.
RgbImage read_png(const std::string& path) {
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  RgbImage image;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  // A failed read frees the png itself and leaves the size 0.
  if (png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
    image.width = int(png.width);
    image.height = int(png.height);
  }
  return image;
}

}  // namespace

TEST(RenderViewerPixels, PicturesEqualTheViewersViewArea) {
  std::string input = save_temp(moving_streams(), "moving.sdif");
  SdifFile file(input.c_str(), 0);
  ASSERT_EQ(file.read_all_frames(), SdifCode::Ok);
  PanelCursors cursors(file.frames);
  Fl_Double_Window window(450, 450, "SDIF");
  fill_panel_bands(cursors);
  window.end();
  window.show();
  // The toolkit draws nothing into the window until the server has sent its first Expose event.
  window.wait_for_expose();

  // The same settings through the panel's controls: the sliders' fractions, the toggle, the contrast
  // (negative: the view's own, untouched, so each kind's opening case comes first), the scale, the
  // amplitude mapping and the colour map.
  using V = VerticalScale;
  using A = AmplitudeScale;
  using M = ColorMap;
  const struct {
    DataPanel* panel;
    const char* options;
    float time_position, time_size, vertical_position, vertical_share;
    bool cube;
    double contrast;
    VerticalScale scale;
    AmplitudeScale amplitude;
    ColorMap map;
    bool grid = false;
  } cases[] = {
      {pitch_panel, "--view pitch", 0, 1, 0, 1, false, -1, V::Linear, A::Curve, M::Ramp},
      {pitch_panel, "--view pitch --time 0.5:1.5 --vertical 250:750 --cube --contrast 0.8", .25, .5, .25, .5, true, .8,
       V::Linear, A::Curve, M::Ramp},
      {pitch_panel, "--view pitch --scale log --amplitude db --colormap magma --contrast 0.6", 0, 1, 0, 1, false, .6, V::Log, A::Decibels,
       M::Magma},
      {sinusoids_panel, "--view sinusoids", 0, 1, 0, 1, false, -1, V::Linear, A::Curve, M::Ramp},
      {sinusoids_panel, "--view sinusoids --time 1:2 --vertical 0:11025 --contrast 0.1", .5, .5, 0, .5, false, .1,
       V::Linear, A::Curve, M::Ramp},
      {sinusoids_panel, "--view sinusoids --scale note --colormap viridis --contrast 0.9", 0, 1, 0, 1, false, .9, V::Note,
       A::Curve, M::Viridis},
      {residual_panel, "--view residual", 0, 1, 0, 1, false, -1, V::Linear, A::Curve, M::Ramp},
      {residual_panel, "--view residual --time 0:0.5 --vertical 16:48 --cube", 0, .25, .25, .5, true, -1, V::Linear,
       A::Curve, M::Ramp},
      {residual_panel, "--view residual --scale log --amplitude db --colormap inferno --contrast 0.3", 0, 1, 0, 1, false,
       .3, V::Log, A::Decibels, M::Inferno},
      {residual_panel, "--view residual --colormap gray --contrast 0.3", 0, 1, 0, 1, false, .3, V::Linear, A::Curve, M::Gray},
      {pitch_panel, "--view pitch --grid --time 0.5:1.5 --contrast 0.6", .25, .5, 0, 1, false, .6, V::Linear, A::Curve,
       M::Ramp, true},
      {sinusoids_panel, "--view sinusoids --grid --scale note --contrast 0.9", 0, 1, 0, 1, false, .9, V::Note, A::Curve,
       M::Ramp, true},
      {residual_panel, "--view residual --grid --scale log --contrast 0.3", 0, 1, 0, 1, false, .3, V::Log, A::Curve,
       M::Ramp, true},
      {residual_panel, "--view residual --contrast 0.3", 0, 1, 0, 1, false, .3, V::Linear, A::Curve, M::Ramp, false},
  };
  for (const auto& c : cases) {
    DataPanel* panel = c.panel;
    panel->choose_scale(c.scale);
    panel->choose_amplitude(c.amplitude);
    panel->choose_color_map(c.map);
    panel->show_grid(c.grid);
    set_time_range(panel, c.time_size, c.time_position);
    panel->vertical_slider->range_size = c.vertical_share;
    panel->vertical_slider->range_position = c.vertical_position;
    panel->cube_toggle->value(c.cube);
    vertical_slider_cb(panel->vertical_slider, panel);
    if (c.contrast >= 0) {
      panel->contrast_slider->value(c.contrast);
      contrast_slider_cb(panel->contrast_slider, panel);
    }
    Fl::flush();
    XSync(fl_display, False);
    const SdifView* view = panel->view;
    std::vector<unsigned char> shown(size_t(view->w()) * size_t(view->h()) * 3);
    window.make_current();
    fl_read_image(shown.data(), view->x(), view->y(), view->w(), view->h());

    std::string output = temp_path("viewer-pixels.png");
    std::istringstream options(std::string("sdif-render ") + c.options + " -o " + output + " " + input);
    std::vector<std::string> words{std::istream_iterator<std::string>(options), {}};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    std::ostringstream out, err;
    ASSERT_EQ(render_main(int(argv.size()), argv.data(), out, err), 0) << c.options << ": " << err.str();
    RgbImage image = read_png(output);
    ASSERT_EQ(std::make_pair(image.width, image.height), std::make_pair(view->w(), view->h())) << c.options;
    EXPECT_TRUE(image.rgb == shown) << c.options;
    // Not blank: a picture with something in it.
    EXPECT_GT(image.rgb.size() - size_t(std::count(image.rgb.begin(), image.rgb.end(), 0)), 600u) << c.options;
  }
  window.hide();
  delete_panels();
}
