#pragma once
// Which recording source a sound card's wave-in multiplexer item is, by its name.

#include <string>

namespace lumetra {

enum class RecordingSource { None = -1, Microphone = 0, Line = 1 };

// Whole-name comparison without regard to case: "Microphone" is the microphone, "Line In" the line
// input, "Mic Volume" or "CD Player" neither. A microphone name is never taken for a line name.
RecordingSource ClassifyRecordingSource(const std::string& itemName);

}  // namespace lumetra
