#pragma once
// Checks that a recording and a snapshot written by the program are whole and readable.
#include <string>

namespace lumetra::soak {

// An AVI recording: the RIFF form fills the file, the main header gives the picture size, and the
// movie list holds at least minFrames video chunks with a picture (empty ones mark dropped frames)
// and some sound. Empty text when valid, else what is wrong.
std::string CheckRecording(const std::string& path, int width, int height, int minFrames);

// A 24-bit bottom-up BMP of width x height whose pixels are not all one value. Empty text when
// valid, else what is wrong.
std::string CheckSnapshot(const std::string& path, int width, int height);

}  // namespace lumetra::soak
