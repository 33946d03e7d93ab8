#pragma once
// What a running process holds, measured from outside: GDI and USER objects, kernel handles and
// private bytes.
#include <windows.h>

#include <cstdint>
#include <string>

namespace lumetra::soak {

struct ResourceSample {
    long gdiObjects = -1;   // -1: could not be measured
    long userObjects = -1;
    long handles = -1;
    long registryKeys = -1;  // of the handles, open registry keys; -1 when not told apart
    int64_t privateBytes = -1;
};

class ResourceProbe {
public:
    explicit ResourceProbe(HANDLE process, DWORD processId);
    ResourceSample Take() const;
    // The GDI objects counted by kind (the handle table's type numbers), to tell which kind grows.
    std::string GdiObjectsByType() const;
    // How each figure is measured, for the report.
    std::string Sources() const;

private:
    long GdiObjects() const;
    long UserObjects() const;

    HANDLE process_;
    DWORD processId_;
    // GetGuiResources answers (Windows); Wine's is a stub, and then the GDI objects are counted in the
    // process's own GDI handle table and the USER objects are its windows.
    bool guiResources_ = false;
    uintptr_t gdiTable_ = 0;  // the process's GDI handle table (PEB GdiSharedHandleTable), 0 when none
    // GetProcessHandleCount answers (Windows); Wine's answers 0, and then the process's entries in
    // the system's handle list are counted.
    bool handleCount_ = false;
    int registryKeyType_ = -1;  // the system handle list's object type of registry keys
};

}  // namespace lumetra::soak
