#pragma once
// Property pages of the simulated devices, shown by OleCreatePropertyFrame: picture controls of the
// capture filter, routing of the crossbar, and the capture pin's output format.
#include <windows.h>
#include <ocidl.h>

#include "simdev/com_support.h"

namespace simdev {

HRESULT CreatePicturePage(REFIID iid, void** out);
HRESULT CreateCrossbarPage(REFIID iid, void** out);
HRESULT CreateFormatPage(REFIID iid, void** out);

}  // namespace simdev
