#pragma once
// The main window's live texts, free of the platform.
#include <cstdint>
#include <string>

namespace lumetra {

// "<prefix> %02d:%02d": the whole minutes (however many) and seconds of a position in 100-ns
// units; a negative position reads as 0.
std::string FormatMinutesSeconds(const std::string& prefix, int64_t position100ns);

}  // namespace lumetra
