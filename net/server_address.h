#pragma once
// The FTP server text of the Internet settings: a host name or address, optionally followed by
// ":port" for a server that does not listen on the standard FTP port.
#include <string>

namespace lumetra {

constexpr int kStandardFtpPort = 21;

// Splits "host" or "host:port" into its parts; a missing, empty, non-numeric or out-of-range port
// leaves the whole text as the host with the standard port.
void SplitServerAddress(const std::string& text, std::string& host, int& port);

}  // namespace lumetra
