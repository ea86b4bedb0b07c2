// Entry point of the sdif-info executable; everything happens in info_main, which tests call directly.
#include <cstdio>

#include "info/info_main.h"

int main(int argc, char** argv) { return info_main(argc, argv, stdout, stderr); }
