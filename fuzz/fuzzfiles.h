// Scratch files for the fuzz targets: one private folder per process
// (below /dev/shm when there is one, so syncs cost nothing), removed with
// its files at exit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The folder, created on first use; aborts when it cannot be made.
const std::string& fuzzdir();
// fuzzdir() + "/" + name.
std::string fuzzpath(const std::string& name);
void writefile(const std::string& path, const std::uint8_t* data, std::size_t size);
void writefile(const std::string& path, const std::string& data);
// The whole file; "" when it is missing.
std::string readfile(const std::string& path);
bool fileexists(const std::string& path);
// Whether any entry of the folder has ".tmp" in its name.
bool hastempfiles(const std::string& dir);
// Stops the run with a message when a property fails (libFuzzer then
// saves the input as a crash).
#define FUZZ_CHECK(cond)                                                        \
  do {                                                                          \
    if (!(cond)) fuzzfail(__FILE__, __LINE__, #cond);                           \
  } while (0)
[[noreturn]] void fuzzfail(const char* file, int line, const char* what);
