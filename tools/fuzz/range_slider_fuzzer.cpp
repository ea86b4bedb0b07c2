// libFuzzer target for the range slider's arithmetic: any size, both orientations, fractions written by
// the owner, resizes, presses and drags anywhere, with the knob held to its track. Run by scripts/fuzz.
#include <FL/Fl.H>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/range_slider.h"

namespace {

enum Step { SET_FRACTIONS, RESIZE, PRESS, DRAG, SHOW, STEP_COUNT };

// Sizes from none at all to wider than any X window can be.
int length(FuzzedDataProvider& input) { return input.ConsumeIntegralInRange(-2, 40000); }

int place(FuzzedDataProvider& input) { return input.ConsumeIntegralInRange(-40000, 40000); }

int track(const RangeSlider& slider) { return (slider.type() == 1 ? slider.w() : slider.h()) - 2; }

// The knob lies on the track, and the fractions, which the panels hand to the views, stay within
// 0 to 1. Shorter tracks cannot hold the 18-pixel knob that end drags keep, and fractions that no
// owner should write give no such promise, so neither is judged.
void check(const RangeSlider& slider, bool owner_wrote_a_range) {
  int n = track(slider);
  if (n < 18 || !owner_wrote_a_range) return;
  if (slider.knob_first < 1 || slider.knob_last > n) std::abort();
  if (!(slider.range_size >= 0.0f && slider.range_size <= 1.0f)) std::abort();
  if (!(slider.range_position >= 0.0f && slider.range_position <= 1.0f)) std::abort();
}

// After a drag, the owner's next compute_knob() must find the knob where the drag left it, or a
// resize or a synchronised panel would make it jump.
void check_fractions_give_back_the_knob(RangeSlider& slider, bool owner_wrote_a_range) {
  if (track(slider) < 18 || !owner_wrote_a_range) return;
  int first = slider.knob_first, last = slider.knob_last;
  slider.compute_knob();
  if (slider.knob_first != first || slider.knob_last != last) std::abort();
}

int callbacks = 0;

void count_callback(Fl_Widget*, void*) { ++callbacks; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  int x = place(input), y = place(input), w = length(input), h = length(input);
  RangeSlider slider(x, y, w, h);
  // Types from FL_RESERVED_TYPE up belong to the toolkit, which takes some of them for windows.
  slider.type(input.ConsumeBool() ? 1 : input.ConsumeIntegralInRange(0, FL_RESERVED_TYPE - 1));
  slider.callback(count_callback);
  slider.handle(FL_SHOW);
  bool owner_wrote_a_range = true;
  check(slider, owner_wrote_a_range);
  while (input.remaining_bytes() > 0) {
    int step = input.ConsumeIntegralInRange(0, STEP_COUNT - 1);
    switch (step) {
      case SET_FRACTIONS: {
        // Mostly what an owner writes, a share and a start that together stay within the range; now
        // and then any float at all, NaN and infinities included, which must still be harmless.
        owner_wrote_a_range = input.ConsumeBool();
        if (owner_wrote_a_range) {
          float share = input.ConsumeProbability<float>();
          slider.range_size = share;
          slider.range_position = input.ConsumeProbability<float>() * (1.0f - share);
        } else {
          slider.range_size = input.ConsumeFloatingPoint<float>();
          slider.range_position = input.ConsumeFloatingPoint<float>();
        }
        slider.compute_knob();
        break;
      }
      case RESIZE:
        x = place(input), y = place(input);
        slider.resize(x, y, length(input), length(input));
        break;
      case PRESS:
      case DRAG: {
        // Anywhere from well before the widget to well past it, on the slider's axis.
        int origin = slider.type() == 1 ? slider.x() : slider.y();
        int extent = slider.type() == 1 ? slider.w() : slider.h();
        int v = origin + input.ConsumeIntegralInRange(-64, std::max(extent, 0) + 64);
        (slider.type() == 1 ? Fl::e_x : Fl::e_y) = v;
        int before = callbacks;
        slider.handle(step == PRESS ? FL_PUSH : FL_DRAG);
        if (callbacks != before) check_fractions_give_back_the_knob(slider, owner_wrote_a_range);
        break;
      }
      case SHOW:
        slider.handle(FL_SHOW);
        break;
    }
    check(slider, owner_wrote_a_range);
  }
  return 0;
}
