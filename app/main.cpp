// Entry point of the sdif-viewer executable.
// Everything happens in viewer_main, which the tests also drive in-process.
#include "app/viewer_main.h"

int main(int argc, char** argv) { return viewer_main(argc, argv); }
