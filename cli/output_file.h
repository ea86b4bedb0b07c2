// A companion program's output file, written so that no half-written file ever carries the output's
// name: a regular file is written under a temporary name beside it and renamed into place once
// complete, and a signal that ends the program meanwhile removes the temporary file. Used by
// sdif-render, sdif-export and sdif-synth for whatever they write.
#pragma once

#include <cstdio>
#include <string>

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
  // Gives the output up: a temporary file is removed, and the target keeps what it held.
  void abandon();

 private:
  // Flushes and closes what is open; empty on success, else the reason.
  std::string finish();

  std::string target;
  std::string temporary;  // empty when the output is written directly
  int fd = -1;
  FILE* file = nullptr;
};
