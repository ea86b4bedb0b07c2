// The hold and its writes.
#include "export/held_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Whole frames' text gathers up to this before it is written: many small frames make few writes.
constexpr size_t WRITE_BYTES = size_t(256) << 10;

}  // namespace

HeldText::HeldText(FILE* out) : out(out), buffer(new char[HOLD_BYTES + MAX_ROOM]) {
  done = cursor = buffer.get();
  limit = buffer.get() + HOLD_BYTES + MAX_ROOM;
}

void HeldText::append(std::string_view text) {
  while (!text.empty()) {
    size_t piece = std::min(text.size(), MAX_ROOM);
    char* at = room(piece);
    std::memcpy(at, text.data(), piece);
    advance(at + piece);
    text.remove_prefix(piece);
  }
}

void HeldText::frame_done() {
  done = cursor;
  frame_spilled = false;
  if (size_t(done - buffer.get()) >= WRITE_BYTES) {
    write(buffer.get(), size_t(done - buffer.get()));
    done = cursor = buffer.get();
  }
}

void HeldText::drop_frame() {
  if (frame_spilled) done = frame_lines_end();
  cursor = done;
}

void HeldText::finish() {
  drop_frame();
  write(buffer.get(), size_t(done - buffer.get()));
  done = cursor = buffer.get();
}

void HeldText::make_room() {
  char* start = buffer.get();
  write(start, size_t(done - start));
  size_t frame_bytes = size_t(cursor - done);
  std::memmove(start, done, frame_bytes);
  done = start;
  cursor = start + frame_bytes;
  if (size_t(limit - cursor) >= MAX_ROOM) return;
  // The frame outgrew the hold: its whole lines go, and the line being made stays unless it alone
  // fills the hold.
  frame_spilled = true;
  char* lines_end = frame_lines_end();
  if (size_t(cursor - lines_end) > HOLD_BYTES) lines_end = cursor;
  write(start, size_t(lines_end - start));
  std::memmove(start, lines_end, size_t(cursor - lines_end));
  cursor = start + (cursor - lines_end);
}

char* HeldText::frame_lines_end() const {
  for (char* at = cursor; at > done; at--)
    if (at[-1] == '\n') return at;
  return done;
}

void HeldText::write(const char* from, size_t bytes) {
  if (error || bytes == 0) return;
  errno = 0;
  if (std::fwrite(from, 1, bytes, out) != bytes) error = errno ? errno : EIO;
}
