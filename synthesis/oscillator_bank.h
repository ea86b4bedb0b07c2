// A bank of sine oscillators whose frequencies glide and amplitudes ramp linearly over each segment
// of samples: the engine under the partial tracks and the pitch tone. Within a segment an oscillator
// turns a unit phasor by a rotation that itself turns by a fixed factor each sample, so its phase is
// quadratic in time, as a linear glide makes it, at the cost of two complex products per sample
// instead of a sine. The phase is also kept in double precision and every segment starts from it, so
// the rounding of the single-precision recursion never builds up beyond one segment.
#pragma once

#include <cstddef>
#include <vector>

// The most samples one segment takes.
constexpr int MAX_SEGMENT = 256;

// The gain of a partial at `frequency` Hz (either sign) so that nothing sounds at or above half the
// sample rate: 1 below the top 5% of that band, falling linearly to 0 at its edge, so that a partial
// gliding across it fades instead of clicking. 0 for a frequency that is not finite.
double band_gain(double frequency, double sample_rate);

class OscillatorBank {
 public:
  int size() const { return count; }
  // Appends an oscillator at phase 0, silent until it is given a ramp.
  void add();
  // Removes the oscillator at `position`; the last one takes its place.
  void remove(int position);
  // The oscillator's next segment: at its first sample the phase advances by `step` radians and the
  // amplitude is `amplitude`; each later sample adds `step_change` to the advance and
  // `amplitude_change` to the amplitude. Every oscillator needs its ramp before each render.
  void set_ramp(int position, double step, double step_change, double amplitude, double amplitude_change);
  // Adds the segment's `samples` samples (at most MAX_SEGMENT) of every oscillator to `out` and moves
  // their phases on.
  void render(float* out, int samples);

 private:
  // Eight floats, written with the vector extension that GCC and Clang share: left to itself, the
  // compiler does not vectorise across oscillators well enough to reach the bank's speed. The loop
  // is built twice, for AVX, where a vector fills one register, and for every x86-64, where it takes
  // two SSE registers; the processor picks when the program starts.
  typedef float Vector __attribute__((vector_size(32)));
  static constexpr int WIDTH = 8;
  // Oscillators are processed in groups of VECTORS vectors, side by side through a whole segment.
  static constexpr int VECTORS = 2;
  static constexpr int LANES = WIDTH * VECTORS;
  // The recursion's state, in single precision. The rotation at sample n is start + offset; the
  // offset grows by the rotation times (turn - 1) each sample. Keeping the small offset apart from the
  // start keeps its digits: added up in the rotation itself, the tiny change of a slow glide would be
  // rounded away a little at every sample, and the errors would pile up into the phase.
  struct Group {
    Vector phasor_re[VECTORS], phasor_im[VECTORS];
    Vector start_re[VECTORS], start_im[VECTORS];
    Vector offset_re[VECTORS], offset_im[VECTORS];
    Vector turn_re[VECTORS], turn_im[VECTORS];  // the factor minus 1
    Vector amplitude[VECTORS], amplitude_step[VECTORS];
  };
  // An oscillator's phase at the segment's start and its ramp, in double precision.
  struct Phase {
    double phase = 0.0, step = 0.0, step_change = 0.0;
  };
  // One oscillator's place: its group and its lane within each of the group's vectors.
  struct Place {
    Group& group;
    int vector, lane;
  };
  Place place(int position) {
    return {groups[std::size_t(position / LANES)], position % LANES / WIDTH, position % WIDTH};
  }
  static void silence(Place at);
  static void render_group(const Group& group, Vector (*sums)[VECTORS], int samples);

  std::vector<Group> groups;
  std::vector<Phase> phases;
  int count = 0;
};
