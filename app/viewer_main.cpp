// Start-up and teardown of the viewer. The document and its cursors outlive the window, and the
// panels go before the window, because panels point at cursors and cursors into the document; the
// same order holds when start-up runs out of memory.
#include "app/viewer_main.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/filename.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/x.H>

#include <memory>
#include <new>

#include "app/error_dialog.h"
#include "app/load_progress.h"
#include "app/panel_bands.h"
#include "sdif/sdif_document.h"

const char* const NO_FILE_MESSAGE = "No SDIF file selected, exiting\n";
const char* const READ_ERROR_MESSAGE = "Error reading file\n";
const char* const NO_TYPES_MESSAGE = "File does not contain any supported matrix types.\n";

namespace {

// Deletes the panels when it goes, before the window declared ahead of it: after a normal close and
// also when building the panels or the views runs out of memory.
struct PanelsOwner {
  PanelsOwner() = default;
  PanelsOwner(const PanelsOwner&) = delete;
  PanelsOwner& operator=(const PanelsOwner&) = delete;
  ~PanelsOwner() { delete_panels(); }
};

// How start-up ends: the exit status, and the message to show, if any, once everything built for
// the file has been freed, so that the dialog never waits on memory a failed load still holds.
struct Outcome {
  int status;
  const char* message;
};

Outcome show_file(const char* path) {
  std::unique_ptr<SdifFile> sdif = load_with_progress(path);
  // Cancelling the load is the user's choice, like cancelling the chooser, and needs no message.
  if (sdif->result == SdifCode::Cancelled) return {0, nullptr};
  if (sdif->result != SdifCode::Ok) return {1, READ_ERROR_MESSAGE};

  PanelCursors cursors(sdif->frames);

  Fl_Double_Window window(450, 450, "SDIF");
  PanelsOwner panels;
  fill_panel_bands(cursors);
  if (!cursors.any()) return {1, NO_TYPES_MESSAGE};

  window.resizable(&window);
  window.end();
  window.show();
  Fl::event_dispatch(dispatch_keys_to_panels);
  Fl::run();
  Fl::event_dispatch(nullptr);
  return {0, nullptr};
}

}  // namespace

int viewer_main(int argc, char** argv) {
  // Every way through shows a window, and the connection to the display is opened now, while memory
  // is plentiful: opened by the loading window of a load that then runs out of memory, the display
  // library's own set-up could fail an allocation it does not check, and crash.
  fl_open_display();
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
  // The document loads without exceptions, but the indexes, panels and views that follow allocate
  // through new; whatever was built is freed on the way out here, and the file was found unusable.
  Outcome outcome;
  try {
    outcome = show_file(path);
  } catch (const std::bad_alloc&) {
    outcome = {1, READ_ERROR_MESSAGE};
  }
  if (outcome.message) show_error(outcome.message);
  return outcome.status;
}
