// What a view makes of each frame's rows (the partials of a 1TRC frame by track index, the magnitudes
// of a spectrum by band), kept from redraw to redraw, so that a redraw over the frames that the one
// before drew reads none of their rows again. Used by the track and residual views.
//
// Memory is fixed whatever the file: a pool of at most POOL_ENTRIES entries for at most MOST_MAPS
// maps, grown as maps arrive and never given back, and two maps being made. When the pool is full,
// the maps that neither this redraw nor the one before used make room, at most once per redraw; the
// maps of this redraw and the one before are never pushed out, so a redraw over more frames than the
// pool holds keeps the maps of its first frames and makes the rest anew each time, instead of
// pushing out the very maps the next redraw needs first.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "sdif/sdif_document.h"

template <class Entry>
class FrameMaps {
 public:
  struct Map {
    const Entry* entries = nullptr;
    size_t count = 0;
  };

  static constexpr size_t POOL_ENTRIES = size_t(1) << 21;
  static constexpr size_t MOST_MAPS = 16384;

  // Starts a redraw: the maps it uses stay held through it and the next one.
  void begin_redraw() { ++redraw; }
  // Forgets every map, for maps made for a geometry that has changed.
  void clear() {
    places.clear();
    used = 0;
    std::fill(table.begin(), table.end(), 0);
    held = {};
  }

  // The maps of a column's frames: the current frame's and, unless `next` is null, the next frame's.
  // Each is made by `make(frame, std::vector<Entry>& out)` unless it is held. Both stay valid until
  // the next call.
  template <class Make>
  std::pair<Map, Map> pair(const SdifFrame& current, const SdifFrame* next, Make make) {
    Where from = hold(current, -1, make);
    if (!next) return {map_at(from), Map{}};
    size_t compactions_before = compactions;
    Where to = hold(*next, from.pooled ? -1 : int(from.at), make);
    // Making room moves the maps that stay; the current frame's is one of them.
    if (compactions != compactions_before && from.pooled) from.at = find(current);
    return {map_at(from), map_at(to)};
  }

 private:
  struct Place {
    const SdifFrame* frame;
    size_t offset, count;
    uint64_t redraw;
  };
  // A map in the pool (`at` indexes `places`) or in one of the two being made (`at` is 0 or 1).
  struct Where {
    bool pooled;
    size_t at;
  };

  static constexpr size_t NOT_FOUND = ~size_t(0);
  static constexpr size_t TABLE_SIZE = 2 * MOST_MAPS;

  template <class Make>
  Where hold(const SdifFrame& frame, int busy, Make make) {
    for (int s = 0; s < 2; ++s)
      if (held[s] == &frame) return {false, size_t(s)};
    size_t at = find(frame);
    if (at != NOT_FOUND) {
      places[at].redraw = redraw;
      return {true, at};
    }
    // Not the map that the other frame of this column lies in, else the one made first.
    int s = busy >= 0 ? 1 - busy : 1 - last_made;
    made[s].clear();
    make(frame, made[s]);
    last_made = s;
    held[s] = &frame;
    if (!admit(frame, made[s])) return {false, size_t(s)};
    held[s] = nullptr;
    return {true, places.size() - 1};
  }

  Map map_at(Where where) const {
    if (!where.pooled) return {made[where.at].data(), made[where.at].size()};
    const Place& place = places[where.at];
    return {pool.data() + place.offset, place.count};
  }

  bool admit(const SdifFrame& frame, const std::vector<Entry>& map) {
    if (map.size() > POOL_ENTRIES) return false;
    if (places.size() == MOST_MAPS || used + map.size() > POOL_ENTRIES) make_room();
    if (places.size() == MOST_MAPS || used + map.size() > POOL_ENTRIES) return false;
    if (pool.size() < used + map.size()) pool.resize(std::min(POOL_ENTRIES, std::max(used + map.size(), 2 * pool.size())));
    std::copy(map.begin(), map.end(), pool.begin() + used);
    places.push_back({&frame, used, map.size(), redraw});
    used += map.size();
    insert(places.size() - 1);
    return true;
  }

  // Drops the maps that neither this redraw nor the one before used and moves the others down over
  // them. Once per redraw: after it only maps of these two redraws remain until the next one starts.
  void make_room() {
    if (compacted_in == redraw) return;
    compacted_in = redraw;
    auto stale = [this](const Place& place) { return redraw - place.redraw > 1; };
    if (std::none_of(places.begin(), places.end(), stale)) return;
    ++compactions;
    size_t kept = 0;
    used = 0;
    for (const Place& place : places) {
      if (stale(place)) continue;
      std::copy(pool.begin() + place.offset, pool.begin() + place.offset + place.count, pool.begin() + used);
      places[kept++] = {place.frame, used, place.count, place.redraw};
      used += place.count;
    }
    places.resize(kept);
    std::fill(table.begin(), table.end(), 0);
    for (size_t i = 0; i < places.size(); ++i) insert(i);
  }

  // The table holds place numbers plus one (0 for an empty entry), at the frame's hash or after it.
  static size_t hash(const SdifFrame* frame) {
    return size_t((uint64_t(reinterpret_cast<uintptr_t>(frame)) * 0x9E3779B97F4A7C15u) >> 40) % TABLE_SIZE;
  }

  size_t find(const SdifFrame& frame) const {
    if (table.empty()) return NOT_FOUND;
    for (size_t i = hash(&frame);; i = (i + 1) % TABLE_SIZE) {
      if (table[i] == 0) return NOT_FOUND;
      if (places[table[i] - 1].frame == &frame) return table[i] - 1;
    }
  }

  void insert(size_t place) {
    if (table.empty()) table.assign(TABLE_SIZE, 0);
    size_t i = hash(places[place].frame);
    while (table[i] != 0) i = (i + 1) % TABLE_SIZE;
    table[i] = uint32_t(place + 1);
  }

  std::vector<Entry> pool;
  size_t used = 0;
  std::vector<Place> places;  // in the pool's order
  std::vector<uint32_t> table;
  std::array<std::vector<Entry>, 2> made;
  // The frames whose maps lie in `made` and nowhere else.
  std::array<const SdifFrame*, 2> held{};
  int last_made = 1;
  uint64_t redraw = 0;
  uint64_t compacted_in = ~uint64_t(0);
  size_t compactions = 0;
};
