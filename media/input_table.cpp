#include "media/input_table.h"

namespace lumetra {
namespace {

// Physical connector types of the platform's crossbar (PhysicalConnectorType).
constexpr long kConnTuner = 1, kConnComposite = 2, kConnSVideo = 3, kConnRgb = 4, kConnAux = 9;
constexpr long kConnAudioTuner = 0x1000, kConnAudioLine = 0x1001, kConnAudioMic = 0x1002;

const long kConnectors[InputTable::kEntries] = {kConnTuner,      kConnComposite, kConnSVideo,  kConnAux,
                                                kConnAudioTuner, kConnAudioLine, kConnAudioMic};

}  // namespace

void InputTable::Reset() {
    for (int i = 0; i < kEntries; ++i) {
        entries_[i] = Entry{};
        entries_[i].connectorType = kConnectors[i];
    }
    entries_[kInputWebcam].present = true;
}

void InputTable::AddCrossbarPin(long index, long connectorType, long relatedPin,
                                const std::function<bool(int output)>& canRoute) {
    for (int i = 0; i < kEntries; ++i) {
        if (kConnectors[i] != connectorType) continue;
        Entry& e = entries_[i];
        e.present = canRoute(OutputOf(i));
        if (e.present) {
            e.inputPin = index;
            e.relatedPin = relatedPin;
        }
    }
}

void InputTable::NoteRouted(int entry, long inputPin, long relatedPin) {
    if (entry < 0 || entry >= kEntries) return;
    entries_[entry].present = true;
    entries_[entry].inputPin = inputPin;
    entries_[entry].relatedPin = relatedPin;
}

bool InputTable::Present(int entry) const {
    return entry >= 0 && entry < kEntries && entries_[entry].present;
}

int InputTable::Resolve(int requested) const {
    if (requested >= 0 && requested < kVideoEntries && Present(requested)) return requested;
    for (int i = 0; i < kVideoEntries; ++i)
        if (Present(i)) return i;
    return -1;
}

long InputTable::ConnectorOf(int entry) {
    return entry >= 0 && entry < kEntries ? kConnectors[entry] : 0;
}

int InputTable::InputForConnector(long connectorType) {
    switch (connectorType) {
    case kConnTuner: return kInputTuner;
    case kConnComposite: return kInputComposite;
    case kConnSVideo: return kInputSVideo;
    case kConnRgb:
    case kConnAux: return kInputWebcam;
    default: return -1;
    }
}

}  // namespace lumetra
