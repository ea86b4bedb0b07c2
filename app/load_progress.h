// Loading a document with the user kept informed: once a load has run for a moment, a small window
// shows the file's name and how far the load has come, and closing it or pressing Escape cancels the
// load, also while a pipe's writer keeps it waiting. Used by viewer_main; small files load without
// any window.
#pragma once

#include <memory>

#include "sdif/sdif_document.h"

// How long a load runs before its window appears.
constexpr double PROGRESS_DELAY_SECONDS = 0.5;

// Opens `path` and loads every frame of it; the file's result tells how that ended: SdifCode::Cancelled
// when the user closed the window. Nothing is shown before `delay_seconds` have passed, whether the
// time goes on reading or on waiting for a pipe's writer.
std::unique_ptr<SdifFile> load_with_progress(const char* path, double delay_seconds = PROGRESS_DELAY_SECONDS);
