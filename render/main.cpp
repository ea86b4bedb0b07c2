// Entry point of sdif-render. Everything happens in render_main, which the tests also call in-process.
#include <iostream>

#include "render/render_run.h"

int main(int argc, char** argv) { return render_main(argc, argv, std::cout, std::cerr); }
