// The property pages: created as COM objects, attached to the device, shown in a window and in the
// system's property frame; their controls change the device.
#include "simdev/tests/device_fixture.h"

#include <commctrl.h>
#include <olectl.h>

#include <thread>

#include "simdev/resource.h"

namespace simdev_test {
namespace {

class PropertyPages : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        device = BindDevice(CLSID_VideoInputDeviceCategory, L"USB Vexa40 Video");
        ASSERT_TRUE(device);
        parent = CreateWindowExW(0, L"STATIC", L"page host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(parent);
    }
    void TearDown() override {
        DestroyWindow(parent);
        DeviceTest::TearDown();
    }
    ComPtr<IPropertyPage> Page(const CLSID& clsid) {
        ComPtr<IPropertyPage> page;
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.PutVoid());
        return page;
    }
    ComPtr<IBaseFilter> device;
    HWND parent = nullptr;
};

TEST_F(PropertyPages, FilterAndPinsNameTheirPages) {
    CAUUID pages{};
    ASSERT_EQ(Query<ISpecifyPropertyPages>(device.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_EQ(pages.pElems[0], CLSID_SimPicturePage);
    CoTaskMemFree(pages.pElems);
    ComPtr<ISpecifyPropertyPages> pin =
        Query<ISpecifyPropertyPages>(FindPin(device.Get(), PINDIR_OUTPUT).Get(), IID_ISpecifyPropertyPages);
    ASSERT_EQ(pin->GetPages(&pages), S_OK);
    EXPECT_EQ(pages.pElems[0], CLSID_SimFormatPage);
    CoTaskMemFree(pages.pElems);
}

TEST_F(PropertyPages, PicturePageTrackbarsDriveTheProcAmp) {
    ComPtr<IPropertyPage> page = Page(CLSID_SimPicturePage);
    ASSERT_TRUE(page);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszTitle, L"Picture");
    CoTaskMemFree(info.pszTitle);
    IUnknown* objects[] = {device.Get()};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    RECT r{0, 0, 340, 190};
    ASSERT_EQ(page->Activate(parent, &r, FALSE), S_OK);
    HWND dialog = FindWindowExW(parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(dialog);
    HWND brightness = GetDlgItem(dialog, IDC_BRIGHTNESS);
    ASSERT_TRUE(brightness);
    EXPECT_EQ(SendMessageW(brightness, TBM_GETPOS, 0, 0), 128);
    EXPECT_EQ(SendMessageW(brightness, TBM_GETRANGEMAX, 0, 0), 255);
    SendMessageW(brightness, TBM_SETPOS, TRUE, 40);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 40), reinterpret_cast<LPARAM>(brightness));
    long value = 0, flags = 0;
    Query<IAMVideoProcAmp>(device.Get(), IID_IAMVideoProcAmp)->Get(VideoProcAmp_Brightness, &value, &flags);
    EXPECT_EQ(value, 40);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_DEFAULTS, BN_CLICKED), 0);
    Query<IAMVideoProcAmp>(device.Get(), IID_IAMVideoProcAmp)->Get(VideoProcAmp_Brightness, &value, &flags);
    EXPECT_EQ(value, 128);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(page.Detach()->Release(), 0u);
}

TEST_F(PropertyPages, FormatPageAppliesTheChosenSize) {
    ComPtr<IPropertyPage> page = Page(CLSID_SimFormatPage);
    ASSERT_TRUE(page);
    ComPtr<IPin> pin = FindPin(device.Get(), PINDIR_OUTPUT);
    IUnknown* objects[] = {pin.Get()};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    RECT r{0, 0, 340, 190};
    ASSERT_EQ(page->Activate(parent, &r, FALSE), S_OK);
    HWND dialog = FindWindowExW(parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_FORMAT_SIZE, CB_GETCURSEL, 0, 0), 5);  // 640 x 480
    SendDlgItemMessageW(dialog, IDC_FORMAT_SIZE, CB_SETCURSEL, 4, 0);               // 352 x 288
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FORMAT_SIZE, CBN_SELCHANGE), 0);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(Query<IAMStreamConfig>(pin.Get(), IID_IAMStreamConfig)->GetFormat(&mt), S_OK);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader.biHeight, 288);
    CoTaskMemFree(mt->pbFormat);
    CoTaskMemFree(mt);
    page->Deactivate();
    page->SetObjects(0, nullptr);
}

// The system's property frame shows the crossbar's page; a helper thread closes the modal frame.
TEST_F(PropertyPages, PropertyFrameShowsTheCrossbarPage) {
    Graph g;
    ASSERT_TRUE(g.AddDevice(device.Get()));
    ComPtr<IAMCrossbar> crossbar;
    ASSERT_EQ(g.builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, device.Get(), IID_IAMCrossbar, crossbar.PutVoid()),
              S_OK);
    CAUUID pages{};
    ASSERT_EQ(Query<ISpecifyPropertyPages>(crossbar.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages), S_OK);

    const DWORD self = GetCurrentThreadId();
    std::atomic<bool> sawCombo{false}, closed{false};
    std::pair<std::atomic<bool>*, std::atomic<bool>*> flags(&sawCombo, &closed);
    std::thread closer([&] {
        const DWORD start = GetTickCount();
        while (!closed && GetTickCount() - start < 10000) {
            Sleep(100);
            EnumThreadWindows(
                self,
                [](HWND w, LPARAM p) -> BOOL {
                    auto* flags = reinterpret_cast<std::pair<std::atomic<bool>*, std::atomic<bool>*>*>(p);
                    HWND combo = nullptr;
                    EnumChildWindows(
                        w,
                        [](HWND c, LPARAM out) -> BOOL {
                            if (GetDlgCtrlID(c) == IDC_VIDEO_INPUT) {
                                *reinterpret_cast<HWND*>(out) = c;
                                return FALSE;
                            }
                            return TRUE;
                        },
                        reinterpret_cast<LPARAM>(&combo));
                    if (!combo) return TRUE;
                    *flags->first = SendMessageW(combo, CB_GETCOUNT, 0, 0) == 3;
                    PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
                    PostMessageW(w, WM_CLOSE, 0, 0);
                    *flags->second = true;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&flags));
        }
    });
    IUnknown* objects[] = {crossbar.Get()};
    HRESULT hr = OleCreatePropertyFrame(parent, 0, 0, nullptr, 1, objects, pages.cElems, pages.pElems, 0, 0, nullptr);
    closed = true;
    closer.join();
    CoTaskMemFree(pages.pElems);
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(sawCombo.load());
}

}  // namespace
}  // namespace simdev_test
