// A stdio stream over a descriptor that is no regular file (a pipe, a FIFO, a terminal) whose reads
// wait for data with poll and a timeout instead of blocking, so that a single-threaded loader keeps
// telling its caller how it does, and can be stopped, however long the writer pauses. Used by SdifFile
// for every input that is not a regular file; the byte layer reads it as any other stream.
#pragma once

#include <cstdio>

#include "sdif/sdif_progress.h"

// What the reads of one stream tell and are told while they wait.
struct SdifPipeWait {
  // Told every SDIF_WAIT_REPORT_MS while a read waits or data trickles in; without a report a read
  // waits for as long as the writer takes.
  SdifProgress progress;
  // The count the reports give: the load's, as it last told it.
  long long bytes = 0;
  // Set once the report answered false; from then on every read fails with ECANCELED.
  bool cancelled = false;
};

// A read-only stream over `fd`, which it makes non-blocking and closes with the stream; `wait` must
// outlive the stream. Null, with errno set and `fd` left open, when the stream cannot be made.
FILE* open_waiting_stream(int fd, SdifPipeWait* wait);
