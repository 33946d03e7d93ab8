// Registration of the stand-ins in the prefix, and that unregistering gives the platform its own
// entries back (and registering again takes them over again).
#include "wine-standins/dshow/registry.h"
#include "wine-standins/tests/win_util.h"

#include <dshow.h>

using namespace lumetra::standins;
using namespace lumetra::standins::test;

namespace {

const CLSID kCaptureGraphBuilder2 = {0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
const wchar_t kDrivers32[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const wchar_t kDefaultRenderer[] =
    L"CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}";

std::wstring ServerOf(const CLSID& clsid) {
    DWORD type;
    std::vector<BYTE> data;
    if (!ReadValue(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidString(clsid) + L"\\InprocServer32", nullptr, type, data)) return L"";
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
}

bool EndsWith(const std::wstring& s, const wchar_t* tail) {
    std::wstring t = tail;
    if (s.size() < t.size()) return false;
    return _wcsicmp(s.c_str() + s.size() - t.size(), t.c_str()) == 0;
}

DWORD DefaultRendererMerit() {
    DWORD type;
    std::vector<BYTE> data;
    if (!ReadValue(HKEY_CLASSES_ROOT, kDefaultRenderer, L"FilterData", type, data) || data.size() < 8) return 0;
    DWORD merit;
    CopyMemory(&merit, &data[4], 4);
    return merit;
}

bool HasDriver(const wchar_t* name) {
    DWORD type;
    std::vector<BYTE> data;
    return ReadValue(HKEY_LOCAL_MACHINE, kDrivers32, name, type, data);
}

using RegisterFn = HRESULT(WINAPI*)();

struct Dll {
    explicit Dll(const wchar_t* name) : module(LoadLibraryW(name)) {}
    ~Dll() { if (module) FreeLibrary(module); }
    HRESULT Call(const char* fn) {
        auto f = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(module, fn)));
        return f ? f() : E_NOTIMPL;
    }
    HMODULE module;
};

}  // namespace

TEST(StandinRegistration, UnregisterRestoresThePlatformAndRegisterTakesOver) {
    ComInit com;
    // The DLLs sit beside this program.
    Dll capture(L"lumetra_standin_capture.dll"), yuv(L"lumetra_standin_yuv.dll");
    ASSERT_TRUE(capture.module);
    ASSERT_TRUE(yuv.module);

    EXPECT_TRUE(EndsWith(ServerOf(kCaptureGraphBuilder2), L"lumetra_standin_capture.dll"));
    EXPECT_TRUE(EndsWith(ServerOf(CLSID_AviDest), L"lumetra_standin_capture.dll"));
    EXPECT_TRUE(HasDriver(L"vidc.YUY2"));
    EXPECT_TRUE(HasDriver(L"vidc.I420"));
    EXPECT_LT(DefaultRendererMerit(), 0x00800000u);

    ASSERT_EQ(capture.Call("DllUnregisterServer"), S_OK);
    ASSERT_EQ(yuv.Call("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(EndsWith(ServerOf(kCaptureGraphBuilder2), L"qcap.dll"));
    EXPECT_TRUE(EndsWith(ServerOf(CLSID_AviDest), L"qcap.dll"));
    EXPECT_FALSE(HasDriver(L"vidc.YUY2"));
    EXPECT_GT(DefaultRendererMerit(), 0x00800000u);

    // Registering twice keeps the platform's original saved, so a later unregister still restores it.
    ASSERT_EQ(capture.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(capture.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(yuv.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(yuv.Call("DllRegisterServer"), S_OK);
    EXPECT_TRUE(EndsWith(ServerOf(kCaptureGraphBuilder2), L"lumetra_standin_capture.dll"));
    EXPECT_TRUE(HasDriver(L"vidc.YUY2"));
    EXPECT_LT(DefaultRendererMerit(), 0x00800000u);

    ASSERT_EQ(capture.Call("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(EndsWith(ServerOf(kCaptureGraphBuilder2), L"qcap.dll"));
    ASSERT_EQ(capture.Call("DllRegisterServer"), S_OK);
    EXPECT_TRUE(EndsWith(ServerOf(kCaptureGraphBuilder2), L"lumetra_standin_capture.dll"));
}
