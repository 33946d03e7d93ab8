#include "media/capture_settings_rules.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace lumetra {

namespace {

constexpr uint64_t k100nsPerSecond = 10000000;

bool EndsWith(const std::string& text, const char* suffix, bool ignoreCase) {
    const std::string tail(suffix);
    if (text.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [ignoreCase](char a, char b) {
                          if (!ignoreCase) return a == b;
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

const std::array<CompressionChoice, kCompressionChoiceCount>& CompressionChoices() {
    // The encoder's preset 6 is never offered: the types jump from 5 to 7.
    static const std::array<CompressionChoice, kCompressionChoiceCount> choices = {{
        {"AVI (no compression)", 0},
        {"MPEG1", 1},
        {"MPEG2", 2},
        {"VCD-NTSC", 3},
        {"VCD-PAL", 4},
        {"VCD-FLIM", 5},
        {"DVD-NTSC", 7},
        {"DVD-PAL", 8},
        {"SVCD-NTSC", 9},
        {"SVCD-PAL", 10},
    }};
    return choices;
}

int OfferedCompressionCount(bool mpegAvailable) {
    return mpegAvailable ? kCompressionChoiceCount : 1;
}

int StartCompressionIndex(int storedIndex, bool mpegAvailable) {
    if (storedIndex < 0 || storedIndex >= OfferedCompressionCount(mpegAvailable)) return 0;
    return storedIndex;
}

int CompressionIndexOfType(int compType, bool mpegAvailable) {
    for (int i = 0; i < OfferedCompressionCount(mpegAvailable); ++i)
        if (CompressionChoices()[static_cast<size_t>(i)].compType == compType) return i;
    return -1;
}

int EffectiveCompression(int compType, bool mpegAvailable) {
    return mpegAvailable ? compType : 0;
}

std::string FixCaptureExtension(const std::string& fileName, int compType) {
    const char* unwanted = compType != 0 ? ".avi" : ".mpg";
    const char* wanted = compType != 0 ? ".mpg" : ".avi";
    std::string name = fileName;
    if (EndsWith(name, unwanted, true)) name.erase(name.rfind('.'));
    if (!EndsWith(name, wanted, false)) name += wanted;
    return name;
}

std::string NumberedFileName(const std::string& fileName, int number) {
    const size_t lastPart = fileName.find_last_of("\\/:");
    const size_t dot = fileName.rfind('.');
    const bool hasExtension = dot != std::string::npos && (lastPart == std::string::npos || dot > lastPart);
    const size_t at = hasExtension ? dot : fileName.size();
    return fileName.substr(0, at) + "_" + std::to_string(number) + fileName.substr(at);
}

uint64_t TimeLimit100ns(int timeLimit, int timeUnits) {
    const uint64_t limit = timeLimit > 0 ? static_cast<uint64_t>(timeLimit) : 0;
    const uint64_t secondsPerUnit = timeUnits == kTimeUnitMinutes ? 60 : 1;
    return limit * secondsPerUnit * k100nsPerSecond;
}

int PreallocationLimitMB(int availableMB) {
    // 64-bit so that the × 4 cannot overflow on very large drives.
    return static_cast<int>(static_cast<int64_t>(availableMB) * 4 / 5);
}

uint64_t PreallocationBytes(int megabytes) {
    return static_cast<uint64_t>(std::clamp(megabytes, 0, kMaxPreallocateMB)) * kBytesPerMB;
}

int AvailableMegabytes(uint64_t freeBytes, uint64_t existingFileLength) {
    // Saturating: two large counts must not wrap around to a small sum.
    const uint64_t total = freeBytes > UINT64_MAX - existingFileLength ? UINT64_MAX : freeBytes + existingFileLength;
    const uint64_t megabytes = total / kBytesPerMB;
    return static_cast<int>(std::min<uint64_t>(megabytes, INT_MAX));
}

bool HasDriveLetter(const std::string& fileName) {
    return fileName.size() >= 2 && fileName[1] == ':';
}

std::string DriveOf(const std::string& fileName) {
    return fileName.substr(0, 2);
}

}  // namespace lumetra
