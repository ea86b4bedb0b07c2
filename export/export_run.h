// sdif-export's whole run: the command line, one pass over the file through the chosen format, and
// how it ends. main() only calls export_main; the tests and the fuzz target call it in-process with
// streams of their own.
#pragma once

#include <cstdio>

#include "export/export_options.h"

// --help and --version go to `out`, and so does the export unless -o names a file; messages go to
// `err`. Returns the exit status: 0 when the file was exported (also when `out` is a pipe whose reader
// has gone), 1 when it is missing, unreadable or damaged or the output cannot be written, 2 for a
// usage error, matrices of the selection that one CSV or TSV table cannot hold among them.
int export_main(int argc, char** argv, FILE* out, FILE* err);

// The export of `options.file`, as export_main runs it once the command line is read.
int export_file(const ExportOptions& options, FILE* out, FILE* err);
