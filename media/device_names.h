#pragma once
// Which capture devices the program takes, decided by their friendly names.
#include <string>
#include <vector>

namespace lumetra {

extern const char* const kDefaultVideoDeviceName;  // "USB Vexa40 Video"
extern const char* const kDefaultAudioDeviceName;  // "USB Vexa Audio Device"
// Known device names of the product family in the order they are tried; each list ends with nullptr.
extern const char* const kKnownVideoNames[];
extern const char* const kKnownAudioNames[];
// The names tried when looking for the driver's private property interface.
extern const char* const kVendorVideoNames[];

constexpr size_t kDeviceNameBytes = 128;  // names are kept in 127 characters

// A device matches a name when its friendly name begins with it (case matters); an empty name
// matches nothing, so "USB Vexa30 Video" also finds "USB Vexa30 Video #2".
bool FriendlyNameMatches(const std::string& friendlyName, const std::string& name);

// The names to try for a device: the preferred one, then each entry of the list in order.
std::vector<std::string> NamesToTry(const std::string& preferred, const char* const* list);

// Whether a device name is one of the family's camera models ("USB Vexa20 Camera", ...): those
// drivers answer the camera controls (exposure, light, flicker) on their private property interface.
bool IsCameraModel(const std::string& deviceName);

}  // namespace lumetra
