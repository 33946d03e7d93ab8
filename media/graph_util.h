#pragma once
// Small helpers over a filter graph, shared by the capture and the playback graph.
#include <dshow.h>

#include <string>

#include "framework/com_ptr.h"

namespace lumetra {

// The platform's sample grabber filter {C1F400A0-3F08-11D3-9F0B-006008039E37}.
extern const CLSID kClsidSampleGrabber;

// Removes everything downstream of filter from graph: for each connected output, first what lies
// below the filter it feeds, then the connection, then that filter.
void RemoveDownstream(IGraphBuilder* graph, IBaseFilter* filter);

// The pin of a filter with that name, or empty.
ComPtr<IPin> FindPinByName(IBaseFilter* filter, const wchar_t* name);
// The first unconnected-or-not pin of a filter in a direction, or empty.
ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION direction);

// Shows the property pages of an object in one property frame owned by owner, at (0, 0), without caption.
void ShowObjectPropertyPages(HWND owner, IUnknown* object);

}  // namespace lumetra
