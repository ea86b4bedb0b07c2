// The viewer's whole run: choose and load the file, build the stream cursors and the main window,
// run the event loop and tear down. main() only calls it; tests call it in-process.
#pragma once

extern const char* const NO_FILE_MESSAGE;
extern const char* const READ_ERROR_MESSAGE;
extern const char* const NO_TYPES_MESSAGE;

// The process exit status: 0 after a normal close, when no file was chosen or when the user cancelled
// the load, 1 when the file could not be read, memory ran out during start-up, or the file holds none
// of the streams the viewer shows.
int viewer_main(int argc, char** argv);
