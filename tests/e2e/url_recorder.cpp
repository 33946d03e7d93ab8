// Stands in for the web browser in the end-to-end tests: registered as the handler of http
// addresses, it writes the command line it was started with to url-opened.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string log(exe);
    log = log.substr(0, log.find_last_of('\\') + 1) + "url-opened.txt";
    FILE* f = std::fopen(log.c_str(), "ab");
    if (!f) return 1;
    std::fprintf(f, "%s\n", commandLine);
    std::fclose(f);
    return 0;
}
