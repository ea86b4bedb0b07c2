// Samples and draws the short-time spectrum stream. Used by the Residual data panel.
#include "views/residual_view.h"

#include <algorithm>
#include <cmath>

#include "views/pixel_canvas.h"

namespace {

// Calls take(i, now, next) for bins first + i, i from 0 while below `count`, that the frame's spectrum
// holds: the bin's magnitude as the current frame of a pair reads it (real part through a float,
// imaginary part in double) and as the next frame does (both through a float). These precisions
// are on purpose: the bands' brightness, and so the pictures, depend on them. Frames without a second
// matrix, spectra without the real and imaginary columns and spectra without a numeric type
// contribute nothing.
template <class Take>
void read_magnitudes(const SdifFrame& frame, int first, int count, Take take) {
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_RESIDUAL), frame);
  if (!matrix || matrix->columns < 2) return;
  int end = std::clamp(matrix->rows - first, 0, count);
  matrix->with_elements([&](auto elements) {
    for (int i = 0; i < end; ++i) {
      double re = elements.as_float(0, first + i), im = elements.as_double(1, first + i);
      float narrow = elements.as_float(1, first + i);
      double now = std::sqrt(re * re + im * im);
      // Most spectra are floats already, and then both magnitudes are one.
      take(i, now, narrow == im ? now : std::sqrt(re * re + double(narrow) * narrow));
    }
  });
}

}  // namespace

ResidualView::ResidualView(int x, int y, int w, int h, SdifStreamCursor* cursor) : SdifView(x, y, w, h, cursor) {
  start_contrast(panel_spec(VIEW_RESIDUAL).contrast);
}

void ResidualView::draw() { draw_through_canvas(*this); }

void ResidualView::paint_pixels(PixelCanvas& canvas) { paint(canvas); }

void ResidualView::sample_column(double t, SlotValues& magnitudes) {
  double w;
  SdifFrame* current = frame_pair(t, w);
  magnitudes.fill(0.0);
  if (!current) return;
  read_magnitudes(*current, 0, SLOTS, [&](int i, double now, double) { magnitudes[size_t(i)] = (1 - w) * now; });
  if (!current->next_in_stream) return;
  read_magnitudes(*current->next_in_stream, 0, SLOTS,
                  [&](int i, double, double next) { magnitudes[size_t(i)] = magnitudes[size_t(i)] + w * next; });
}

int SpectrumLayout::rise(int j) const {
  const ViewRows rows = {-1, height, height + 1.0};
  return rows.row_above_bottom(edge_up(first_row)) - rows.row_above_bottom(edge_up(j));
}

bool ResidualView::lay_out(int bins, SpectrumLayout& out) const {
  out.height = h();
  if (h() <= 0) return false;
  if (logarithmic(scale) && bins > 1 && h() > 1) {
    // The shown bins: those whose band reaches from below the view's top to above its bottom.
    const double span = std::log(double(bins));
    out.logarithmic = out.dense = true;
    out.log_base = vertical_position * span;
    out.log_scale = vertical_size * span / (h() - 1);
    if (!(out.log_scale > 0.0) || !std::isfinite(out.log_base)) return false;
    double lowest = std::floor(std::exp(out.log_base - 2 * out.log_scale)) - 1;
    double end = std::floor(std::exp(out.log_base + h() * out.log_scale)) + 2;
    out.first_row = static_cast<int>(std::clamp(lowest, 0.0, double(bins)));
    out.end_row = static_cast<int>(std::clamp(end, 0.0, double(bins)));
    out.pixel_rows = out.rise(out.end_row) + 1;
    return out.first_row < out.end_row;
  }
  // The bin count goes through a float on purpose: above 2^24 bins it rounds, and the bands' edges,
  // and so the pictures, depend on that rounding.
  float bins_as_float = static_cast<float>(bins);
  double row_height = h() / static_cast<double>(bins_as_float) / vertical_size;
  double shift = std::trunc(static_cast<double>(bins_as_float) * vertical_position);
  // Screen rows j from `lowest` up to `end` show bins j + shift that exist; of those, the ones from
  // the first whose lower edge lies above the view on draw nothing, so they are left out.
  double lowest = std::max(0.0, -shift);
  double end = std::min(static_cast<double>(bins), bins - shift);
  if (row_height > 0) end = std::min(end, std::floor((h() + 1) / row_height) + 2);
  if (!(row_height > 0) || std::isnan(shift) || !(lowest < end)) return false;
  out.first_row = static_cast<int>(lowest);
  out.end_row = static_cast<int>(end);
  out.shift = static_cast<int>(shift);
  out.row_height = row_height;
  out.dense = bins > SLOTS && row_height < 1;
  out.pixel_rows = out.dense ? out.rise(out.end_row) + 1 : 0;
  return true;
}

void ResidualView::read_bands(const SdifFrame& frame, std::vector<BandMagnitudes>& out) const {
  const int first_bin = layout.first_row + layout.shift, count = layout.end_row - layout.first_row;
  if (!layout.dense) {
    read_magnitudes(frame, first_bin, count, [&](int, double now, double next) { out.push_back({now, next}); });
    return;
  }
  // Each pixel row holds the largest magnitude among the bins whose band covers it, edges included,
  // NaN left out; 0 where none does. Rows of one run are covered by the same bins.
  out.assign(runs.size(), {0.0, 0.0});
  int low = 0;
  read_magnitudes(frame, first_bin, count, [&](int i, double now, double next) {
    int high = layout.rise(layout.first_row + i + 1);
    for (int s = run_of_row[size_t(low)]; s <= run_of_row[size_t(high)]; ++s) {
      BandMagnitudes& band = out[size_t(s)];
      if (now > band.now) band.now = now;
      if (next > band.next) band.next = next;
    }
    low = high;
  });
}

namespace {

// The first i in [low, high) where `holds` is true, or high: `holds` is false up to some i and true from there.
// A spectrum may claim billions of bins, so the bins at a pixel row are found by search, not by walking them.
template <class Holds>
int first_where(int low, int high, Holds holds) {
  while (low < high) {
    int middle = low + (high - low) / 2;
    if (holds(middle))
      high = middle;
    else
      low = middle + 1;
  }
  return low;
}

}  // namespace

void ResidualView::find_runs() {
  runs.clear();
  run_of_row.clear();
  if (!layout.dense) return;
  // The first and last bin covering each row, as read_bands walks them: bin i covers rows rise(first_row + i)
  // to rise(first_row + i + 1), and rise never falls, so the bins at a row are one interval.
  const int count = layout.end_row - layout.first_row;
  auto cover = [&](int r) {
    int first = first_where(0, count, [&](int i) { return layout.rise(layout.first_row + i + 1) >= r; });
    int end = first_where(0, count, [&](int i) { return layout.rise(layout.first_row + i) > r; });
    return first < end ? std::pair(first, end - 1) : std::pair(-1, -1);
  };
  std::pair<int, int> run_cover;
  for (int r = 0; r < layout.pixel_rows; ++r) {
    std::pair<int, int> row_cover = cover(r);
    if (runs.empty() || row_cover != run_cover) {
      runs.push_back({r, r});
      run_cover = row_cover;
    } else {
      runs.back().last = r;
    }
    run_of_row.push_back(int(runs.size()) - 1);
  }
}

void ResidualView::follow(SdifStreamCursor* stream) {
  SdifView::follow(stream);
  bands.clear();
  layout = SpectrumLayout();
}

namespace {

// The magnitude of `bin` at weight w between the frame pair, as the drawing blends it.
double blended_magnitude(const SdifFrame& current, double w, int bin) {
  double magnitude = 0.0;
  read_magnitudes(current, bin, 1, [&](int, double now, double) { magnitude = (1 - w) * now; });
  if (const SdifFrame* next = current.next_in_stream)
    read_magnitudes(*next, bin, 1, [&](int, double, double later) { magnitude = magnitude + w * later; });
  return magnitude;
}

// The bins the frame's spectrum holds values for.
int held_bins(const SdifFrame& frame) {
  const SdifMatrix* matrix = panel_matrix(panel_spec(VIEW_RESIDUAL), frame);
  return matrix && matrix->columns >= 2 ? matrix->rows : 0;
}

// The frequency of `bin` from the frame's first matrix, its sample rate and window size; NaN where
// that matrix gives neither.
double bin_hertz(const SdifFrame& frame, int bin) {
  const SdifMatrix* info = frame.matrices;
  double rate = NAN, window = NAN;
  if (!info || info->rows < 1 || info->columns < 2) return NAN;
  info->element_as_double(0, 0, rate);
  info->element_as_double(1, 0, window);
  return rate > 0 && window > 0 ? bin * rate / window : NAN;
}

}  // namespace

bool ResidualView::probe(int x, int y, Probe& out) {
  double t, dt;
  if (!start_columns(t, dt)) return false;
  out.time = t + (x - this->x()) * dt;
  out.time_step = dt;
  const int bins = static_cast<int>(full_vertical_range(panel_spec(VIEW_RESIDUAL), *cursor));
  SpectrumLayout shown;
  if (!lay_out(bins, shown)) return true;
  double w;
  SdifFrame* current = frame_pair(out.time, w);
  if (!current) return true;
  // Window rows from each bin's lower edge up to its upper one, both included, as the bands are drawn.
  const ViewRows rows = this->rows();
  const int first = first_where(shown.first_row, shown.end_row,
                                [&](int j) { return rows.row_above_bottom(shown.edge_up(j + 1)) <= y; });
  const int end = first_where(shown.first_row, shown.end_row,
                              [&](int j) { return rows.row_above_bottom(shown.edge_up(j)) < y; });
  if (first >= end) return true;
  // Bins past those the frames hold read 0 and never outshine the first.
  int found = (shown.dense ? first : end - 1) + shown.shift;
  if (shown.dense) {
    const int held = std::max(held_bins(*current), current->next_in_stream ? held_bins(*current->next_in_stream) : 0);
    for (int j = first + 1; j < end && j + shown.shift < held; ++j)
      if (blended_magnitude(*current, w, j + shown.shift) > blended_magnitude(*current, w, found)) found = j + shown.shift;
  }
  out.on_data = true;
  out.key = found;
  out.value = found;
  out.value_step = 1.0;
  out.amplitude = blended_magnitude(*current, w, found);
  out.hertz = bin_hertz(*current, found);
  return true;
}

std::vector<GridLine> ResidualView::value_lines() const {
  if (!cursor || !cursor->first || layout.height != h() || layout.first_row >= layout.end_row) return {};
  GridValues kind = scale == VerticalScale::Note ? GridValues::Notes
                    : layout.logarithmic         ? GridValues::Logarithmic
                                                 : GridValues::Linear;
  // Bin k's middle, k + 1/2, shows its frequency.
  const double lowest = layout.bin_at(0) - 0.5, highest = layout.bin_at(h()) - 0.5;
  const double per_bin = bin_hertz(*cursor->first, 1);
  if (std::isfinite(per_bin))
    return value_grid(kind, lowest * per_bin, highest * per_bin, h(),
                      [&](double hertz) { return layout.position_up(hertz / per_bin + 0.5); }, false);
  return value_grid(kind == GridValues::Notes ? GridValues::Logarithmic : kind, lowest, highest, h(),
                    [&](double bin) { return layout.position_up(bin + 0.5); }, true);
}
