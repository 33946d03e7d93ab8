#pragma once
// Names of snapshot files. No Windows headers; paths use backslashes.
#include <cstdint>
#include <functional>
#include <string>

namespace lumetra {

// The file a snapshot is written to. With fileOverwrite 0 (unique names) "_" and the time in
// seconds since 1970 go in front of the first ".bmp" of fileName (case matters), or, without one,
// in front of the file's own name (after its folder); when a file of that name exists already (a
// second snapshot within the same second) "_2", "_3" and so on follow the seconds until a name is
// free. Any other fileOverwrite (overwrite, or -1 before a choice) gives fileName unchanged.
std::string StillFileNameFor(const std::string& fileName, int fileOverwrite, int64_t seconds,
                             const std::function<bool(const std::string&)>& exists);

// path with ".bmp" appended unless its last four characters are ".bmp" in any case.
std::string WithBmpExtension(const std::string& path);

// The folder of a path (up to, not including, its last backslash; empty without one) and the
// file's own name (after the last backslash; the whole path without one).
std::string ParentFolder(const std::string& path);
std::string FileNameOf(const std::string& path);

}  // namespace lumetra
