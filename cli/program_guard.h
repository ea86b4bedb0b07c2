// What every companion program does around its whole run: a write past the file-size limit fails
// with a message instead of ending the program, running out of memory is a message and exit status 1
// instead of an abort, and output lost on standard output (a full disk) is an error, while a reader
// that went away (`| head`) is not. Used by the main() of sdif-info, sdif-render, sdif-export and
// sdif-synth; the functions are also there one by one.
#pragma once

#include <functional>

// Runs `work`, the program's whole run returning its exit status, as described above, and returns
// the program's exit status. When memory runs out anywhere in `work`, what it built is freed and its
// temporary output removed as the stack unwinds, and the message names the input given to
// note_input last.
int run_companion(const char* program, const std::function<int()>& work);

// Names the input the program works on from now on, for the out-of-memory message. The name is
// copied into a fixed buffer, so that the message needs no memory and outlives the caller's string.
void note_input(const char* path);

// "PROGRAM: FILE: out of memory" on standard error, FILE being the input noted last, or
// "PROGRAM: out of memory" when none was; allocates nothing.
void report_out_of_memory(const char* program);

// Flushes standard output (std::cout writes through it) and returns `status`, or 1 after
// "PROGRAM: standard output: REASON" on standard error when something written to it was lost. A
// reader that went away (EPIPE, when SIGPIPE is ignored) is no failure: the program ends quietly.
int finish_standard_output(const char* program, int status);
