// Loading a document with the user kept informed: once a load has run for a moment, a small window
// shows the file's name and how far the load has come, and closing it or pressing Escape cancels the
// load. Used by viewer_main; small files load without any window.
#pragma once

#include "sdif/sdif_document.h"

// How long a load runs before its window appears.
constexpr double PROGRESS_DELAY_SECONDS = 0.5;

// Loads every frame of `file`, opened from `path`, and returns the file's result: SdifCode::Cancelled
// when the user closed the window. Nothing is shown before `delay_seconds` have passed.
SdifResult load_with_progress(SdifFile& file, const char* path, double delay_seconds = PROGRESS_DELAY_SECONDS);
