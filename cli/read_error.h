// A read failure in the companion programs' own plain words, for their error lines: what a result
// code of the byte layer means to a user, or the system's reason when a system call failed. The byte
// layer's message table stays as the viewer's dialog and older tools know it.
#pragma once

#include <string>

#include "sdif/sdif_format.h"

// With an `error_number` (errno of a call the system refused), the system's reason, such as "Is a
// directory"; otherwise plain words for `code`, such as "out of memory".
std::string read_error_text(SdifResult code, int error_number = 0);
