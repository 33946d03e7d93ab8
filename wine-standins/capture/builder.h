#pragma once
// The stand-in capture graph builder (CLSID_CaptureGraphBuilder2): Wine's own builder does the work,
// loaded from the system folder's qcap.dll, and this object adds what Wine leaves out:
// SetOutputFileName, AllocCapFile and CopyCaptureFile.
#include "wine-standins/dshow/com.h"

namespace lumetra::standins {

class CaptureBuilder : public ICaptureGraphBuilder2 {
public:
    // Creates the builder around Wine's; fails when qcap.dll cannot provide one.
    static HRESULT Create(REFIID iid, void** out);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STANDINS_REFCOUNT(refs_)

    STDMETHODIMP SetFiltergraph(IGraphBuilder* graph) override;
    STDMETHODIMP GetFiltergraph(IGraphBuilder** graph) override;
    STDMETHODIMP SetOutputFileName(const GUID* type, LPCOLESTR file, IBaseFilter** mux,
                                   IFileSinkFilter** sink) override;
    STDMETHODIMP FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter, REFIID iid,
                               void** out) override;
    STDMETHODIMP RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                              IBaseFilter* intermediate, IBaseFilter* sink) override;
    STDMETHODIMP ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter,
                               REFERENCE_TIME* start, REFERENCE_TIME* stop, WORD startCookie,
                               WORD stopCookie) override;
    STDMETHODIMP AllocCapFile(LPCOLESTR file, DWORDLONG size) override;
    STDMETHODIMP CopyCaptureFile(LPOLESTR oldFile, LPOLESTR newFile, int allowEscAbort,
                                 IAMCopyCaptureFileProgress* callback) override;
    STDMETHODIMP FindPin(IUnknown* source, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                         BOOL unconnected, int index, IPin** pin) override;

private:
    explicit CaptureBuilder(ComRef<ICaptureGraphBuilder2> inner);
    virtual ~CaptureBuilder();
    HRESULT Graph(ComRef<IGraphBuilder>& graph);

    LONG refs_ = 1;
    ComRef<ICaptureGraphBuilder2> inner_;
};

}  // namespace lumetra::standins
