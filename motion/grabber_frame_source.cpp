#include "motion/grabber_frame_source.h"

#include <cstring>

#include "media/capture_graph.h"

namespace lumetra {

bool GrabberFrameSource::CopyFrame(uint8_t* buffer, size_t capacity, FrameFormat& format) {
    ISampleGrabber* grabber = graph_.GetSampleGrabber(0);
    if (!grabber || GrabFrame(grabber, frame_, capacity) != GrabStatus::Ok || frame_.bytes.size() > capacity)
        return false;
    std::memcpy(buffer, frame_.bytes.data(), frame_.bytes.size());
    format.width = frame_.shape.width;
    format.height = frame_.shape.height;
    format.layout = frame_.shape.format;
    format.bytes = frame_.bytes.size();
    return true;
}

}  // namespace lumetra
