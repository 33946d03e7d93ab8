#include "mainwnd/device_menus.h"

namespace lumetra {

const char* const kMenuLineIn = "Line-In";
const char* const kMenuMic = "Mic";
const char* const kMenuMute = "Mute";
const char* const kMenuResyncAudio = "_____________________";
const char* const kMenuTvAudio = "TV Tuner Audio Properties";

std::vector<std::string> RecordingInputMenu(bool tunerIsCurrent) {
    std::vector<std::string> texts = {"TITLE:--- Recording Input ---", kMenuLineIn, kMenuMic, "SEPERATOR", kMenuMute,
                                      kMenuResyncAudio};
    if (tunerIsCurrent) {
        texts.push_back(kMenuTvAudio);
        texts.push_back("SEPERATOR");
    }
    return texts;
}

}  // namespace lumetra
