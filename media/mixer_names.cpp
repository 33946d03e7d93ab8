#include "media/mixer_names.h"

#include <cctype>

namespace lumetra {
namespace {

const char* const kMicrophoneNames[] = {"mike", "microphone", "mic", "wave", "wavein", "wave in"};
const char* const kLineNames[] = {"linein", "line-in", "line in", "line", "linein1", "line-in1", "line-in 1", "line in 1"};

bool SameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

template <size_t N>
bool AnyOf(const std::string& name, const char* const (&list)[N]) {
    for (const char* candidate : list)
        if (SameIgnoringCase(name, candidate)) return true;
    return false;
}

}  // namespace

RecordingSource ClassifyRecordingSource(const std::string& itemName) {
    if (AnyOf(itemName, kMicrophoneNames)) return RecordingSource::Microphone;
    if (AnyOf(itemName, kLineNames)) return RecordingSource::Line;
    return RecordingSource::None;
}

}  // namespace lumetra
