// The point lists that every drawing of a track view shares.
#include "views/trace_painting.h"

namespace {

KeyedPoints::Lists& shared_lists() {
  static KeyedPoints::Lists lists;
  return lists;
}

}  // namespace

KeyedPoints::KeyedPoints() : lists(shared_lists()) {
  lists.previous.clear();
  lists.current.clear();
}
