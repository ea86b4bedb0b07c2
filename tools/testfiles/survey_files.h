// Valid SDIF files built to fill a streaming survey's tables: many streams, each with many matrix
// types of many columns. Used by sdif-info's memory test and benchmark.
#pragma once

#include "tools/testfiles/sdif_writer.h"

// One frame per stream, each with `types` one-row float matrices of `columns` columns, every matrix of
// its own type. 32 streams of 64 types of 1024 columns make an 8.4 MB file whose column ranges alone
// would take hundreds of megabytes if kept for every stream and type.
SdifWriter many_wide_types(int streams = 32, int types = 64, int columns = 1024);
