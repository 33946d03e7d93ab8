#include "net/server_address.h"

namespace lumetra {

void SplitServerAddress(const std::string& text, std::string& host, int& port) {
    host = text;
    port = kStandardFtpPort;
    size_t colon = text.rfind(':');
    // Exactly one colon: an IPv6 address has several and is taken whole.
    if (colon == std::string::npos || text.find(':') != colon || colon + 1 >= text.size() || colon == 0) return;
    long value = 0;
    for (size_t i = colon + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return;
        value = value * 10 + (c - '0');
        if (value > 65535) return;
    }
    if (value == 0) return;
    host = text.substr(0, colon);
    port = static_cast<int>(value);
}

}  // namespace lumetra
