#pragma once
// The texts of the volume button's recording-input menu.
#include <string>
#include <vector>

namespace lumetra {

extern const char* const kMenuLineIn;        // "Line-In"
extern const char* const kMenuMic;           // "Mic"
extern const char* const kMenuMute;          // "Mute"
extern const char* const kMenuResyncAudio;   // the line of underscores: restarts the audio monitor
extern const char* const kMenuTvAudio;       // "TV Tuner Audio Properties"

// The menu's texts, with the TV audio entry when the tuner is the current input.
std::vector<std::string> RecordingInputMenu(bool tunerIsCurrent);

}  // namespace lumetra
