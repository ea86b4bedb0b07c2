// Start-up and teardown of the viewer. The document and its cursors outlive the window, and the
// panels go before the window, because panels point at cursors and cursors into the document.
#include "app/viewer_main.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/filename.H>
#include <FL/Fl_File_Chooser.H>

#include "app/error_dialog.h"
#include "app/panel_bands.h"
#include "sdif/sdif_document.h"

const char* const NO_FILE_MESSAGE = "No SDIF file selected, exiting\n";
const char* const READ_ERROR_MESSAGE = "Error reading file\n";
const char* const NO_TYPES_MESSAGE = "File does not contain any supported matrix types.\n";

int viewer_main(int argc, char** argv) {
  const char* path;
  if (argc > 1) {
    path = argv[1];
  } else {
    // The chooser's filter menu splits its pattern at '|', which would hide every .sdif file, so
    // the alternatives are separated by a comma, which the toolkit's matching takes the same way.
    path = fl_file_chooser("Select SDIF file", "*.{sdf,sdif}", "");
    if (!path || !*path || fl_filename_isdir(path)) {
      show_error(NO_FILE_MESSAGE);
      return 0;
    }
  }

  SdifFile sdif(path, 0);
  sdif.read_all_frames();
  if (sdif.result != SdifCode::Ok) {
    show_error(READ_ERROR_MESSAGE);
    return 1;
  }

  SdifStreamCursor residual(sdif.frames, "1STF");
  SdifStreamCursor sinusoids(sdif.frames, "1TRC");
  SdifStreamCursor pitch(sdif.frames, "1FQ0");

  Fl_Double_Window window(450, 450, "SDIF");
  fill_panel_bands(&pitch, &sinusoids, &residual);
  if (!residual.last && !sinusoids.last && !pitch.last) {
    show_error(NO_TYPES_MESSAGE);
    return 1;
  }

  window.resizable(&window);
  window.end();
  window.show();
  Fl::run();

  delete_panels();
  return 0;
}
