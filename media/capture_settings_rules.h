#pragma once
// The rules behind the video capture settings, free of the platform: the compression list, the
// capture file's extension, the recording time limit and the preallocation and disk-space sums.
#include <array>
#include <cstdint>
#include <string>

namespace lumetra {

// The values of the video capture settings with their built-in defaults. The registry names are
// the members' names with an upper-case initial ("FrameRate", "UseTimeLimit", ...).
struct VideoCaptureValues {
    int compIndex = 0;      // position in the compression list
    int compType = 0;       // the chosen entry's compression type (0 = AVI)
    int captureAudio = 1;
    int useFrameRate = 0;
    int frameRate = 30;     // frames per second
    int useTimeLimit = 0;
    int timeLimit = 1;
    int timeUnits = 0;      // 0 minutes, 1 seconds
    int useSizeLimit = 0;
    int sizeLimit = 1;      // Mbytes
    int preallocate = 0;    // Mbytes, 0 = no preallocation
};

enum TimeUnit { kTimeUnitMinutes = 0, kTimeUnitSeconds = 1 };

// One entry of the compression list: its text and the compression type it selects
// (0 = uncompressed AVI, otherwise the MPEG encoder's preset number).
struct CompressionChoice {
    const char* text;
    int compType;
};

constexpr int kCompressionChoiceCount = 10;
const std::array<CompressionChoice, kCompressionChoiceCount>& CompressionChoices();

// How many list entries are offered: all of them with the MPEG encoder, only AVI without it.
int OfferedCompressionCount(bool mpegAvailable);
// The entry to select when the dialog opens: the stored index when it is offered, else AVI.
int StartCompressionIndex(int storedIndex, bool mpegAvailable);
// Position of the offered entry with this compression type, -1 when none has it.
int CompressionIndexOfType(int compType, bool mpegAvailable);
// What a recording uses: the chosen type when the encoder exists, AVI otherwise.
int EffectiveCompression(int compType, bool mpegAvailable);

// Gives the capture file the extension of its compression: ".avi" for type 0, ".mpg" otherwise.
// The other format's extension is removed whatever its case; the wanted one is recognised only in
// lower case, so "x.MPG" becomes "x.MPG.mpg" when MPEG is chosen.
std::string FixCaptureExtension(const std::string& fileName, int compType);

// The longest capture file name the settings keep: the registry value is read into 128 bytes.
constexpr size_t kMaxCaptureFileNameChars = 127;

// A recording's file name with a number, for recordings that must not overwrite each other:
// "_<number>" before the extension of the name's last part ("C:\v\rec.avi", 2 gives
// "C:\v\rec_2.avi"); a name without an extension gets the number at its end.
std::string NumberedFileName(const std::string& fileName, int number);

// The recording time limit in 100-ns units: minutes or seconds by timeUnits. A negative limit
// (only a damaged stored value can hold one) counts as 0.
uint64_t TimeLimit100ns(int timeLimit, int timeUnits);

// Preallocation is held below 4 GiB: a FAT32 drive cannot hold a larger file, and a 32-bit byte
// count of 4,096 MB would wrap around to a tiny file. Larger sizes are lowered to this limit.
constexpr int kMaxPreallocateMB = 4095;
constexpr uint64_t kBytesPerMB = 1048576;

// The largest preallocation allowed on a drive: 80 % of its available space, in whole Mbytes.
int PreallocationLimitMB(int availableMB);
// The byte count to allocate for a size in Mbytes, held within 0 .. kMaxPreallocateMB.
uint64_t PreallocationBytes(int megabytes);

// Space available for the capture file in whole Mbytes: the drive's free bytes plus the current
// length of the file, which a recording overwrites.
int AvailableMegabytes(uint64_t freeBytes, uint64_t existingFileLength);

// Whether a file name starts with a drive ("C:..."), and that drive's two characters.
bool HasDriveLetter(const std::string& fileName);
std::string DriveOf(const std::string& fileName);

}  // namespace lumetra
