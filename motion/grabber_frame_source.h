#pragma once
// The motion detector's frames: the newest sample of the live preview's sample grabber, taken with
// the program's one frame grab. Nothing is copied while the graph has no grabber (recording) or
// when the sample does not fit the detector's frame buffer.
#include <windows.h>

#include "motion/motion_engine.h"
#include "still/frame_grab.h"

namespace lumetra {

class CaptureGraph;

class GrabberFrameSource : public MotionFrameSource {
public:
    explicit GrabberFrameSource(const CaptureGraph& graph) : graph_(graph) {}
    bool CopyFrame(uint8_t* buffer, size_t capacity, FrameFormat& format) override;

private:
    const CaptureGraph& graph_;
    GrabbedFrame frame_;
};

}  // namespace lumetra
