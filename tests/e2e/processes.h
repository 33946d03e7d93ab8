#pragma once
// Other processes as the tests see them: which explorer windows a program opened, and how.
#include <windows.h>

#include <set>
#include <string>

namespace lumetra::e2e {

// Process ids of the running explorer.exe processes.
std::set<DWORD> ExplorerProcesses();

// The command line another process was started with, read from its process parameters.
std::string CommandLineOf(DWORD pid);

}  // namespace lumetra::e2e
