// A private temporary folder for the files one test process writes, removed when the process ends.
// Used by every test that needs an SDIF file on disk.
#pragma once

#include <string>

// Path of `name` inside the process's temporary folder (created on first use).
std::string temp_path(const std::string& name);
