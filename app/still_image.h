#pragma once
// The platform's Still Image service: whether a device's button event launched this process,
// and the registration that makes the service launch the program on that event.
#include <string>

namespace lumetra {

// Asks the service for launch information. When a device event launched the process, keeps its
// device name in deviceName, enters the program folder, withdraws the launch registration for that
// device and returns true. Without the service, or when started normally, returns false.
bool QueryStillImageLaunch(std::string& deviceName);

// Registers appName with the command line as the application the service launches on the event.
void RegisterStillImageLaunch(const std::string& appName, const std::string& commandLine);

}  // namespace lumetra
