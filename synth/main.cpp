// Entry point of sdif-synth. Everything happens in synth_main, which the tests also call in-process.
#include <cstdio>

#include "synth/synth_run.h"

int main(int argc, char** argv) { return synth_main(argc, argv, stdout, stderr); }
