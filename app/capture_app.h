#pragma once
// The application object: COM for the thread, the common controls, and the modal main window.

namespace lumetra {

class CaptureApp {
public:
    // Runs the program; returns the process exit code.
    int Run();
};

}  // namespace lumetra
