#include "controls/cell_info.h"

#include <cstdio>

namespace lumetra {
namespace {

// True when every '%' of the format is "%%" or one single "%d".
bool IsSafeFormat(const std::string& format) {
    int integers = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (i + 1 >= format.size()) return false;
        char next = format[i + 1];
        if (next == 'd') ++integers;
        else if (next != '%') return false;
        ++i;
    }
    return integers <= 1;
}

}  // namespace

std::string ProgressCaption(const std::string& format, int percent) {
    const std::string& used = format.empty() || !IsSafeFormat(format) ? std::string("%d%%") : format;
    char text[128];
    std::snprintf(text, sizeof text, used.c_str(), percent);
    return text;
}

}  // namespace lumetra
