#include "still/still_names.h"

#include <cctype>

namespace lumetra {
namespace {

// Enough for any burst of snapshots within one second; beyond it the last name is reused.
constexpr int kMaxSameSecondNames = 1000;

}  // namespace

std::string StillFileNameFor(const std::string& fileName, int fileOverwrite, int64_t seconds,
                             const std::function<bool(const std::string&)>& exists) {
    if (fileOverwrite != 0) return fileName;
    size_t at = fileName.find(".bmp");
    if (at == std::string::npos) {
        const size_t slash = fileName.find_last_of('\\');
        at = slash == std::string::npos ? 0 : slash + 1;
    }
    const std::string head = fileName.substr(0, at) + "_" + std::to_string(seconds);
    const std::string tail = fileName.substr(at);
    std::string name = head + tail;
    for (int n = 2; n <= kMaxSameSecondNames && exists && exists(name); ++n) name = head + "_" + std::to_string(n) + tail;
    return name;
}

std::string WithBmpExtension(const std::string& path) {
    if (path.size() >= 4) {
        std::string last = path.substr(path.size() - 4);
        for (char& c : last) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (last == ".bmp") return path;
    }
    return path + ".bmp";
}

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace lumetra
