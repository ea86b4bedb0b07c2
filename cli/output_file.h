// A companion program's output file, written so that no half-written file ever carries the output's
// name. A regular file, new or existing, is written under a temporary name in its folder and renamed
// into place once complete, keeping an existing file's mode and, where the program may set it, its
// owner; a symbolic link is followed and its target replaced so, the link staying as it is. Anything
// else that exists (a FIFO, a device, /dev/stdout) is written directly, and "-" is standard output.
// A signal that ends the program meanwhile (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2,
// SIGPIPE) removes the temporary file, and SIGXFSZ is ignored, so that a write past the file-size limit
// fails as an error instead of ending the program. Used by sdif-render, sdif-export and sdif-synth for
// whatever they write.
#pragma once

#include <cstdio>
#include <string>

struct stat;

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // An output opened and not committed is abandoned.
  ~OutputFile();

  // Starts the output to `path`; "-" is standard output. `input`, when given, is the file the program
  // reads, which is never written over. Empty on success, else the reason.
  std::string open(const std::string& path, const std::string& input = "");
  // The open output as a descriptor, and as a stdio stream made on the first call.
  int descriptor() const { return fd; }
  FILE* stream();
  // Flushes what was written and puts the file in place; the stream and descriptor are closed. Empty
  // on success, else the reason, and then nothing is left behind.
  std::string commit();
  // Gives the output up: a temporary file is removed, and a replaced file keeps what it held. What was
  // written directly stays written.
  void abandon();

 private:
  // Writes through a temporary file beside `path`, which replaces it; `existing` is the status of the
  // file it replaces, null for a new one.
  std::string replace(const std::string& path, const struct stat* existing);
  // Flushes and closes what is open; empty on success, else the reason.
  std::string finish();

  std::string target;     // the file renamed over, a link's target rather than the link
  std::string temporary;  // empty when the output is written directly
  int fd = -1;
  FILE* file = nullptr;
};
