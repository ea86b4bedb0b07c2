// The whole run of sdif-info: options, one survey and report per file, the exit status. main() only
// calls it; the tests call it in-process with their own output streams.
#pragma once

#include <cstdio>

// 0 when every file reads completely or is only cut inside its last frame, 1 when any is missing,
// unreadable or damaged, 2 on a usage error.
int info_main(int argc, char** argv, FILE* out, FILE* err);
