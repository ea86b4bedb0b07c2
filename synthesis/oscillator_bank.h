// A bank of sine oscillators whose frequencies glide and amplitudes ramp linearly over each segment
// of samples: the engine under the partial tracks and the pitch tone. An oscillator turns a unit
// phasor by a rotation that itself turns by a fixed step each sample, so its phase is quadratic in
// time, as a linear glide makes it, at the cost of two complex products per sample instead of a sine.
#pragma once

#include <cstddef>
#include <vector>

// The most samples one segment takes. The rotations are kept in single precision, whose rounding
// grows the phasor's length by up to about 3e-8 per sample per sample of glide; over 256 samples that
// stays under 0.01 dB, and every segment starts from rotations recomputed in double precision.
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
  // `amplitude_change` to the amplitude.
  void set_ramp(int position, double step, double step_change, double amplitude, double amplitude_change);
  // Adds the next `samples` samples (at most MAX_SEGMENT) of every oscillator to `out` and moves their
  // phases on.
  void render(float* out, int samples);

 private:
  // Four floats that the compiler keeps in one vector register (SSE2 on every x86-64), written with
  // the vector extension that GCC and Clang share: left to itself, the compiler does not vectorise
  // across oscillators well enough to reach the bank's speed.
  typedef float Vector __attribute__((vector_size(16)));
  static constexpr int WIDTH = 4;
  // Oscillators are processed in groups of two vectors, whose state stays in registers through a
  // segment; more would not fit in SSE2's sixteen registers.
  static constexpr int VECTORS = 2;
  static constexpr int LANES = WIDTH * VECTORS;
  struct Group {
    Vector phasor_re[VECTORS], phasor_im[VECTORS];
    Vector rotation_re[VECTORS], rotation_im[VECTORS];
    Vector turn_re[VECTORS], turn_im[VECTORS];
    Vector amplitude[VECTORS], amplitude_step[VECTORS];
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
  static void render_group(Group& group, Vector (*sums)[VECTORS], int samples);

  std::vector<Group> groups;
  int count = 0;
};
