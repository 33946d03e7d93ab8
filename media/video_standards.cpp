#include "media/video_standards.h"

namespace lumetra {

const std::vector<VideoStandard>& AllVideoStandards() {
    static const std::vector<VideoStandard> kStandards = {
        {"NTSC_M", 0x1},        {"NTSC_M_J", 0x2},      {"NTSC_433", 0x4},      {"PAL_B", 0x10},
        {"PAL_D", 0x20},        {"PAL_H", 0x80},        {"PAL_I", 0x100},       {"PAL_M", 0x200},
        {"PAL_N", 0x400},       {"PAL_60", 0x800},      {"SECAM_B", 0x1000},    {"SECAM_D", 0x2000},
        {"SECAM_G", 0x4000},    {"SECAM_H", 0x8000},    {"SECAM_K", 0x10000},   {"SECAM_K1", 0x20000},
        {"SECAM_L", 0x40000},   {"SECAM_L1", 0x80000}};
    return kStandards;
}

std::vector<VideoStandard> StandardsIn(long availableMask) {
    std::vector<VideoStandard> listed;
    for (const VideoStandard& s : AllVideoStandards())
        if (availableMask & s.bit) listed.push_back(s);
    return listed;
}

}  // namespace lumetra
