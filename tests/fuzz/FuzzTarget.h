#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The entry point every fuzz target defines. libFuzzer calls it with generated inputs; the
// replay main (ReplayMain.cpp) calls it with the files of a corpus.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace korvane::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A folder of this process under the system's temporary folder ("/"-terminated), removed at
// exit, for the parsers that read files.
const std::string& ScratchFolder();

// Writes bytes to a file of the scratch folder and returns its path.
std::string ScratchFile(const std::string& name, std::string_view bytes);

}  // namespace korvane::fuzz
