// The text sdif-export writes, on its way out. Text of whole frames goes out in large writes; that of
// the frame being read is held back, so that a frame the file cuts short, or one that breaks the
// columns, leaves nothing behind, as the viewer leaves out a frame cut short. A frame whose text
// outgrows the hold goes out line by line as it is made, which keeps memory bounded whatever the
// frame; dropped, it leaves its whole lines.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

// The most text of one frame held back; a frame with more is written as it goes.
constexpr size_t HOLD_BYTES = size_t(4) << 20;
// The most room one call may ask for.
constexpr size_t MAX_ROOM = 512;

class HeldText {
 public:
  explicit HeldText(FILE* out);

  // Room for `bytes` (at most MAX_ROOM) characters at the end of the text, to be written there and
  // taken with advance().
  char* room(size_t bytes) {
    if (size_t(limit - cursor) < bytes) make_room();
    return cursor;
  }
  void advance(char* end) { cursor = end; }
  void append(std::string_view text);

  // The frame being read is whole: its text may go out.
  void frame_done();
  // The frame being read is dropped: what it wrote is forgotten, but for the whole lines of a frame
  // that outgrew the hold.
  void drop_frame();
  // Writes the text of whole frames and drops the rest.
  void finish();

  // The frame being read outgrew the hold.
  bool spilled() const { return frame_spilled; }
  // A write failed; errno of the failure, else 0. Nothing more is written after one.
  int write_error() const { return error; }

 private:
  void make_room();
  // Where the whole lines of the frame being read end.
  char* frame_lines_end() const;
  void write(const char* from, size_t bytes);

  FILE* out;
  std::unique_ptr<char[]> buffer;
  char* done;    // the end of the text of whole frames
  char* cursor;  // the end of all the text
  char* limit;
  bool frame_spilled = false;
  int error = 0;
};
