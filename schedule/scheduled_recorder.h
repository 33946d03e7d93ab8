#pragma once
// What the schedule needs of the program to record: the same start and stop as the record button.
namespace lumetra {

class ScheduledRecorder {
public:
    virtual ~ScheduledRecorder() = default;
    virtual bool IsRecording() const = 0;
    virtual bool IsPlaybackActive() const = 0;
    // The program is in the middle of building a graph (a message box of that build may be up):
    // the schedule waits for a later tick rather than start or stop a recording now.
    virtual bool IsBusy() const = 0;
    // Starts a recording as the record button does, from the entry's source (the index of the
    // schedule's source choices: tuner, composite, S-Video, webcam) and, for the tuner, on its channel
    // (-1 for none); true when one runs afterwards.
    virtual bool StartScheduledRecording(int source, int channel) = 0;
    // Stops the recording as the stop button does.
    virtual void StopScheduledRecording() = 0;
};

}  // namespace lumetra
