#pragma once
// The device's inputs as the crossbar offers them: seven entries (four video inputs, three audio
// inputs), each present when a crossbar input pin of its connector type can be routed to the
// entry's output. Platform-free; InputSelector fills it from the crossbar and routes through it.
#include <functional>

namespace lumetra {

// Input numbers shared by the input buttons and the stored "CrossbarInput".
enum InputNumber { kInputTuner = 0, kInputComposite = 1, kInputSVideo = 2, kInputWebcam = 3 };

class InputTable {
public:
    static constexpr int kEntries = 7;
    static constexpr int kVideoEntries = 4;

    struct Entry {
        bool present = false;
        long connectorType = 0;
        long inputPin = -1;
        long relatedPin = -1;
    };

    // Every entry absent except the camera, which counts as present until a crossbar says otherwise.
    InputTable() { Reset(); }
    void Reset();

    // A crossbar was found: from now on its inputs decide, the camera's included (a crossbar without
    // a camera input has none to route).
    void StartCrossbarScan() { entries_[kInputWebcam].present = false; }
    // One crossbar input pin: its index, connector type, related pin, and whether it can be routed to
    // the output its entry uses (0 for video, 1 for audio). Later pins of a type override earlier ones.
    void AddCrossbarPin(long index, long connectorType, long relatedPin, const std::function<bool(int output)>& canRoute);

    // What the user routed elsewhere (the crossbar's own pages): the entry is present and routed so.
    void NoteRouted(int entry, long inputPin, long relatedPin);

    bool Present(int entry) const;
    const Entry& At(int entry) const { return entries_[entry]; }

    // The entry to route for a request: the entry itself when present, else the first present video
    // entry (0 to 3); -1 when none is present. Out-of-range requests count as absent.
    int Resolve(int requested) const;

    // Connector type of each entry, and the output (0 video, 1 audio) it is routed to.
    static long ConnectorOf(int entry);
    static int OutputOf(int entry) { return entry < kVideoEntries ? 0 : 1; }
    // The input a routed video connector stands for (tuner 0, composite 1, S-Video 2, RGB or AUX 3);
    // -1 for anything else.
    static int InputForConnector(long connectorType);

private:
    Entry entries_[kEntries];
};

}  // namespace lumetra
