#include "simdev/property_pages.h"

#include <commctrl.h>
#include <dshow.h>

#include <cstring>
#include <string>
#include <vector>

#include "simdev/crossbar_filter.h"
#include "simdev/resource.h"
#include "simdev/video_format.h"

namespace simdev {
namespace {

// A dialog-based page. Derived pages attach to the object they edit and handle their controls.
class DialogPage : public ComObject<IPropertyPage> {
public:
    DialogPage(int dialogId, const wchar_t* title) : dialogId_(dialogId), title_(title) {}

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override {
        site_ = ComPtr<IPropertyPageSite>(site);
        return S_OK;
    }
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL) override {
        if (!rect) return E_POINTER;
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        dialog_ = CreateDialogParamW(ModuleHandle(), MAKEINTRESOURCEW(dialogId_), parent, &DialogPage::Proc,
                                     reinterpret_cast<LPARAM>(this));
        if (!dialog_) return E_FAIL;
        Move(rect);
        return S_OK;
    }
    STDMETHODIMP Deactivate() override {
        if (dialog_) DestroyWindow(dialog_);
        dialog_ = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override {
        if (!info) return E_POINTER;
        const size_t bytes = (title_.size() + 1) * sizeof(wchar_t);
        info->cb = sizeof(PROPPAGEINFO);
        info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!info->pszTitle) return E_OUTOFMEMORY;
        std::memcpy(info->pszTitle, title_.c_str(), bytes);
        info->size.cx = 340;
        info->size.cy = 190;
        info->pszDocString = nullptr;
        info->pszHelpFile = nullptr;
        info->dwHelpContext = 0;
        return S_OK;
    }
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override {
        Detach();
        if (count == 0) return S_OK;
        if (!objects || !objects[0]) return E_POINTER;
        return Attach(objects[0]) ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP Show(UINT show) override {
        if (dialog_) ShowWindow(dialog_, show);
        return S_OK;
    }
    STDMETHODIMP Move(LPCRECT rect) override {
        if (!rect) return E_POINTER;
        if (dialog_)
            MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Apply() override {
        HRESULT hr = dirty_ ? OnApply() : S_OK;
        if (SUCCEEDED(hr)) dirty_ = false;
        return hr;
    }
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

protected:
    ~DialogPage() override { Deactivate(); }
    void* Lookup(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyPage) return static_cast<IPropertyPage*>(this);
        return nullptr;
    }
    virtual bool Attach(IUnknown* object) = 0;
    virtual void Detach() = 0;
    virtual void OnInit(HWND dialog) = 0;
    virtual void OnCommand(HWND, WORD, WORD) {}
    virtual void OnScroll(HWND, HWND) {}
    virtual HRESULT OnApply() { return S_OK; }
    HWND Dialog() const { return dialog_; }
    void MarkDirty() {
        dirty_ = true;
        if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
    }

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wp, LPARAM lp) {
        auto* page = reinterpret_cast<DialogPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lp);
            page = reinterpret_cast<DialogPage*>(lp);
            page->dialog_ = dialog;
            page->OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            if (page) page->OnCommand(dialog, LOWORD(wp), HIWORD(wp));
            return TRUE;
        case WM_HSCROLL:
            if (page) page->OnScroll(dialog, reinterpret_cast<HWND>(lp));
            return TRUE;
        default: return FALSE;
        }
    }

    int dialogId_;
    std::wstring title_;
    HWND dialog_ = nullptr;
    ComPtr<IPropertyPageSite> site_;
    bool dirty_ = false;
};

// Brightness, contrast and saturation, applied while the trackbars move.
class PicturePage final : public DialogPage {
public:
    PicturePage() : DialogPage(IDD_PICTURE_PAGE, L"Picture") {}

private:
    struct Control { long property; int slider; int label; };
    static constexpr Control kControls[3] = {{VideoProcAmp_Brightness, IDC_BRIGHTNESS, IDC_BRIGHTNESS_VALUE},
                                             {VideoProcAmp_Contrast, IDC_CONTRAST, IDC_CONTRAST_VALUE},
                                             {VideoProcAmp_Saturation, IDC_SATURATION, IDC_SATURATION_VALUE}};

    bool Attach(IUnknown* object) override {
        return SUCCEEDED(object->QueryInterface(IID_IAMVideoProcAmp, procAmp_.PutVoid()));
    }
    void Detach() override { procAmp_.Reset(); }
    void OnInit(HWND dialog) override {
        for (const Control& c : kControls) {
            long min = 0, max = 0, step = 0, def = 0, caps = 0, value = 0, flags = 0;
            if (!procAmp_ || FAILED(procAmp_->GetRange(c.property, &min, &max, &step, &def, &caps))) {
                EnableWindow(GetDlgItem(dialog, c.slider), FALSE);
                continue;
            }
            procAmp_->Get(c.property, &value, &flags);
            SendDlgItemMessageW(dialog, c.slider, TBM_SETRANGEMIN, FALSE, min);
            SendDlgItemMessageW(dialog, c.slider, TBM_SETRANGEMAX, FALSE, max);
            SendDlgItemMessageW(dialog, c.slider, TBM_SETPOS, TRUE, value);
            SetDlgItemInt(dialog, c.label, static_cast<UINT>(value), TRUE);
        }
    }
    void OnScroll(HWND dialog, HWND slider) override {
        for (const Control& c : kControls) {
            if (GetDlgItem(dialog, c.slider) != slider || !procAmp_) continue;
            long value = static_cast<long>(SendMessageW(slider, TBM_GETPOS, 0, 0));
            procAmp_->Set(c.property, value, VideoProcAmp_Flags_Manual);
            SetDlgItemInt(dialog, c.label, static_cast<UINT>(value), TRUE);
        }
    }
    void OnCommand(HWND dialog, WORD id, WORD) override {
        if (id != IDC_DEFAULTS || !procAmp_) return;
        for (const Control& c : kControls) {
            long min, max, step, def, caps;
            if (FAILED(procAmp_->GetRange(c.property, &min, &max, &step, &def, &caps))) continue;
            procAmp_->Set(c.property, def, VideoProcAmp_Flags_Manual);
        }
        OnInit(dialog);
    }

    ComPtr<IAMVideoProcAmp> procAmp_;
};
constexpr PicturePage::Control PicturePage::kControls[3];

// Which input feeds each output; a change routes at once.
class CrossbarPage final : public DialogPage {
public:
    CrossbarPage() : DialogPage(IDD_CROSSBAR_PAGE, L"Crossbar") {}

private:
    bool Attach(IUnknown* object) override {
        return SUCCEEDED(object->QueryInterface(IID_IAMCrossbar, crossbar_.PutVoid()));
    }
    void Detach() override { crossbar_.Reset(); }
    void Fill(HWND dialog, int combo, long output) {
        SendDlgItemMessageW(dialog, combo, CB_RESETCONTENT, 0, 0);
        long outputs = 0, inputs = 0, routed = -1;
        crossbar_->get_PinCounts(&outputs, &inputs);
        crossbar_->get_IsRoutedTo(output, &routed);
        for (long i = 0; i < inputs; ++i) {
            if (crossbar_->CanRoute(output, i) != S_OK) continue;
            long related = 0, type = 0;
            crossbar_->get_CrossbarPinInfo(TRUE, i, &related, &type);
            LRESULT item = SendDlgItemMessageW(dialog, combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ConnectorName(type)));
            SendDlgItemMessageW(dialog, combo, CB_SETITEMDATA, item, i);
            if (i == routed) SendDlgItemMessageW(dialog, combo, CB_SETCURSEL, item, 0);
        }
    }
    void OnInit(HWND dialog) override {
        if (!crossbar_) return;
        Fill(dialog, IDC_VIDEO_INPUT, 0);
        Fill(dialog, IDC_AUDIO_INPUT, 1);
    }
    void OnCommand(HWND dialog, WORD id, WORD code) override {
        if (code != CBN_SELCHANGE || !crossbar_ || (id != IDC_VIDEO_INPUT && id != IDC_AUDIO_INPUT)) return;
        LRESULT item = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
        if (item == CB_ERR) return;
        long input = static_cast<long>(SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, item, 0));
        crossbar_->Route(id == IDC_VIDEO_INPUT ? 0 : 1, input);
    }

    ComPtr<IAMCrossbar> crossbar_;
};

// Size and colour space of the capture pin, applied with SetFormat when chosen and when the frame
// applies the page.
class FormatPage final : public DialogPage {
public:
    FormatPage() : DialogPage(IDD_FORMAT_PAGE, L"Video Format") {}

private:
    bool Attach(IUnknown* object) override {
        return SUCCEEDED(object->QueryInterface(IID_IAMStreamConfig, config_.PutVoid()));
    }
    void Detach() override { config_.Reset(); }
    void OnInit(HWND dialog) override {
        PixelFormat current = PixelFormat::YUY2;
        int w = 640, h = 480;
        AM_MEDIA_TYPE* mt = nullptr;
        if (config_ && SUCCEEDED(config_->GetFormat(&mt)) && mt) {
            ParseVideoType(*mt, current, w, h);
            DeleteTaskMemMediaType(mt);
        }
        for (int i = 0; i < kCaptureSizeCount; ++i) {
            std::wstring text = std::to_wstring(kCaptureSizes[i].width) + L" x " + std::to_wstring(kCaptureSizes[i].height);
            SendDlgItemMessageW(dialog, IDC_FORMAT_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            if (kCaptureSizes[i].width == w && kCaptureSizes[i].height == h)
                SendDlgItemMessageW(dialog, IDC_FORMAT_SIZE, CB_SETCURSEL, i, 0);
        }
        const wchar_t* names[kVideoFormatCount] = {L"YUY2", L"I420", L"RGB24"};
        for (int i = 0; i < kVideoFormatCount; ++i) {
            SendDlgItemMessageW(dialog, IDC_FORMAT_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
            if (kVideoFormats[i] == current) SendDlgItemMessageW(dialog, IDC_FORMAT_TYPE, CB_SETCURSEL, i, 0);
        }
    }
    void OnCommand(HWND, WORD id, WORD code) override {
        if (code != CBN_SELCHANGE || (id != IDC_FORMAT_SIZE && id != IDC_FORMAT_TYPE)) return;
        MarkDirty();
        // Taken at once as well: Wine's property frame never calls Apply, not even for OK. Apply
        // sets the same format again.
        OnApply();
    }
    HRESULT OnApply() override {
        if (!config_ || !Dialog()) return E_UNEXPECTED;
        LRESULT size = SendDlgItemMessageW(Dialog(), IDC_FORMAT_SIZE, CB_GETCURSEL, 0, 0);
        LRESULT type = SendDlgItemMessageW(Dialog(), IDC_FORMAT_TYPE, CB_GETCURSEL, 0, 0);
        if (size < 0 || size >= kCaptureSizeCount || type < 0 || type >= kVideoFormatCount) return E_UNEXPECTED;
        MediaType mt = MakeVideoType(kVideoFormats[type], kCaptureSizes[size].width, kCaptureSizes[size].height);
        return config_->SetFormat(mt.Ptr());
    }

    ComPtr<IAMStreamConfig> config_;
};

template <class Page>
HRESULT CreatePage(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    auto* page = new Page();
    HRESULT hr = page->QueryInterface(iid, out);
    page->Release();
    return hr;
}

}  // namespace

HRESULT CreatePicturePage(REFIID iid, void** out) { return CreatePage<PicturePage>(iid, out); }
HRESULT CreateCrossbarPage(REFIID iid, void** out) { return CreatePage<CrossbarPage>(iid, out); }
HRESULT CreateFormatPage(REFIID iid, void** out) { return CreatePage<FormatPage>(iid, out); }

}  // namespace simdev
