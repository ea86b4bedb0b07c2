// How a load tells its caller how far it has come, and lets the caller stop it. Passed to SdifFile,
// which hands it to the waiting reads of a pipe (sdif_pipe_stream); the viewer's loading window
// answers it.
#pragma once

// `report` gets `context`, the bytes of the file loaded so far (the header, the whole frames and what
// has been read of the frame under way) and whether the call comes from a wait, and answers false to
// stop the load. Calls that are no wait come after every frame and between the pieces of a large
// matrix, so often that they had better return at once unless the count has grown enough. Waits are
// reported at least every SDIF_WAIT_REPORT_MS while the load has no new bytes to show for its time:
// while a pipe's writer pauses or sends little, and while a large block is put together. A null
// `report` is never called.
struct SdifProgress {
  bool (*report)(void* context, long long bytes, bool waiting) = nullptr;
  void* context = nullptr;
};

constexpr int SDIF_WAIT_REPORT_MS = 10;
