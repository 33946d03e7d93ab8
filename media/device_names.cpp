#include "media/device_names.h"

namespace lumetra {

const char* const kDefaultVideoDeviceName = "USB Vexa40 Video";
const char* const kDefaultAudioDeviceName = "USB Vexa Audio Device";

const char* const kKnownVideoNames[] = {
    "USB Vexa70 TV",    "USB Vexa30 Video", "USB Vexa31 Video", "USB Vexa60 Video",
    "USB Vexa61 Video", "USB Vexa50 Video", "USB Vexa51 Video", "USB Vexa40 Video",
    "USB Vexa41 Video", "USB Vexa20 Camera", "USB Vexa21 Camera", nullptr};

const char* const kKnownAudioNames[] = {"USB Audio Device", "USB Vexa Audio Device", "USB Vexa Audio", nullptr};

const char* const kVendorVideoNames[] = {
    "USB Vexa30 Video", "USB Vexa31 Video", "USB Vexa10 Camera", "USB Vexa11 Camera",
    "USB Vexa60 Video", "USB Vexa61 Video", "USB Vexa50 Video",  "USB Vexa51 Video",
    "USB Vexa40 Video", "USB Vexa41 Video", "USB Vexa20 Camera", "USB Vexa21 Camera", nullptr};

bool FriendlyNameMatches(const std::string& friendlyName, const std::string& name) {
    return !name.empty() && friendlyName.compare(0, name.size(), name) == 0;
}

std::vector<std::string> NamesToTry(const std::string& preferred, const char* const* list) {
    std::vector<std::string> names{preferred};
    for (; list && *list && **list; ++list) names.emplace_back(*list);
    return names;
}

bool IsCameraModel(const std::string& deviceName) {
    for (const char* const* name = kVendorVideoNames; *name; ++name) {
        std::string model(*name);
        if (model.find(" Camera") != std::string::npos && FriendlyNameMatches(deviceName, model)) return true;
    }
    return false;
}

}  // namespace lumetra
