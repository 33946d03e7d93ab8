#include "mainwnd/live_texts.h"

#include <cstdio>

namespace lumetra {

std::string FormatMinutesSeconds(const std::string& prefix, int64_t position100ns) {
    // Minutes stay 64-bit: the longest position is far more minutes than an int holds.
    const long long seconds = position100ns > 0 ? position100ns / 10000000 : 0;
    char text[64];
    std::snprintf(text, sizeof text, " %02lld:%02lld", seconds / 60, seconds % 60);
    return prefix + text;
}

}  // namespace lumetra
