// Inputs, device controls and the device dialogs against the simulated devices, through the real
// graphs of the platform: what is routed shows in the picture's label, picture controls show in its
// pixels, the tuner window scans and tunes the simulated tuner.
#include <windows.h>
#include <commctrl.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/settings_store.h"
#include "framework/com_ptr.h"
#include "media/analog_video_dialog.h"
#include "media/capture_graph.h"
#include "media/device_controls.h"
#include "media/device_set.h"
#include "media/graph_util.h"
#include "media/input_selector.h"
#include "media/vid_frame_wnd.h"
#include "media/webcam_dialog.h"
#include "res/resource.h"
// The simulator's picture helpers have a DrawText of their own, not the platform's.
#undef DrawText
#include "simdev/picture.h"
#include "simdev/pixel_formats.h"
#include "tests/win/box_watcher.h"
#include "tests/win/media_fixture.h"
#include "tv/tv_tuner_dialog.h"

namespace lumetra::testing {
namespace {

const char kControlKey[] = "Software\\LumetraSim";
const HRESULT kGone = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
// Control values these tests write; all are removed after each test.
const char* const kControlValues[] = {"Crossbar",    "RefuseRoute",  "Standards", "SignalChannels", "Button",
                                      "ButtonPulse", "ButtonSticky", "FailPages", "Unplugged"};

void SetSim(const char* name, DWORD value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void SetSim(const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void ClearSim() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kControlKey, 0, KEY_ALL_ACCESS, &key)) return;
    for (const char* name : kControlValues) RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void ClearSettings() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvex"); }

void SetSetting(const char* name, DWORD value) {
    RegKey key = OpenSettingsKey();
    RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void SetSettingBytes(const char* name, const std::vector<uint8_t>& bytes, DWORD type = REG_BINARY) {
    RegKey key = OpenSettingsKey();
    RegSetValueExA(key.Get(), name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::vector<uint8_t> SettingBytes(const char* name) {
    RegKey key = OpenSettingsKey();
    std::vector<uint8_t> bytes(1024);
    DWORD size = static_cast<DWORD>(bytes.size()), type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) return {};
    bytes.resize(size);
    return bytes;
}

int SettingInt(const char* name, int fallback) {
    RegKey key = OpenSettingsKey();
    ReadDword(key.Get(), name, fallback);
    return fallback;
}

std::string Text(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The device opened in the program's order, previewing.
class DevicesFixture : public ::testing::Test {
protected:
    // Written to the simulator's control key before the device is found.
    virtual void ConfigureSimulator() {}
    void SetUp() override {
        ClearSim();
        ClearSettings();
        ConfigureSimulator();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Norrin\\TwainDS");
        ASSERT_TRUE(liveWnd_.CreateVideoWindow(owner_, nullptr, IDS_LIVE_VIDEO_TITLE));
        ShowWindow(liveWnd_.Handle(), SW_SHOWNA);
        devices_.Discover();
        ASSERT_TRUE(devices_.HasVideoDevice());
        ASSERT_TRUE(graph_.CreateGraphs(liveWnd_.Handle(), &liveWnd_));
        controls_.FindVendorInterface();
        graph_.AttachDevices(devices_, controls_);
        ASSERT_TRUE(graph_.AddVideoDevice());
        controls_.Attach(devices_.Filter(DeviceSet::kVideo), devices_.Filter(DeviceSet::kAudioCapture),
                         devices_.DisplayName(DeviceSet::kVideo));
        selector_.Attach(devices_.Filter(DeviceSet::kVideo));
        graph_.CreateAuxFilters();
        AM_MEDIA_TYPE type{};
        type.majortype = MEDIATYPE_Video;
        ASSERT_NE(graph_.GetSampleGrabber(0), nullptr);
        graph_.GetSampleGrabber(0)->SetMediaType(&type);
        graph_.GetSampleGrabber(0)->SetBufferSamples(TRUE);
        ASSERT_TRUE(StartPreview());
    }
    void TearDown() override {
        graph_.Stop();
        graph_.Dismantle();
        graph_.ReleaseGraph();
        graph_.ReleaseAuxFilters();
        selector_.Release();
        controls_.Release();
        devices_.Release();
        ClearSim();
        ClearSettings();
        if (!expectBoxes_) {
            EXPECT_TRUE(boxes_.Seen().empty()) << "unexpected box: " << boxes_.Seen()[0].text;
        }
    }
    bool StartPreview() { return graph_.BuildPreview() && graph_.Run(); }
    void Rebuild() {
        graph_.Stop();
        graph_.Dismantle();
        ASSERT_TRUE(StartPreview());
    }
    // A frame delivered after the last change.
    std::vector<uint8_t> Frame() {
        PumpFor(400);
        long size = 0;
        ISampleGrabber* grabber = graph_.GetSampleGrabber(0);
        if (FAILED(grabber->GetCurrentBuffer(&size, nullptr)) || size <= 0) return {};
        std::vector<uint8_t> frame(static_cast<size_t>(size));
        grabber->GetCurrentBuffer(&size, reinterpret_cast<long*>(frame.data()));
        return frame;
    }
    int Width() const {
        int w = 0, h = 0;
        controls_.GetCaptureSize(w, h);
        return w;
    }
    int Height() const {
        int w = 0, h = 0;
        controls_.GetCaptureSize(w, h);
        return h;
    }
    int Luma(const std::vector<uint8_t>& frame, int x, int y) const {
        return simdev::LumaAt(simdev::PixelFormat::YUY2, frame.data(), Width(), Height(), x, y);
    }
    double MeanLuma(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1) const {
        double sum = 0;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2) sum += Luma(frame, x, y);
        return sum / (((x1 - x0) / 2) * ((y1 - y0) / 2));
    }
    // Whether the first label of the picture reads exactly `text`.
    bool LabelReads(const std::vector<uint8_t>& frame, const std::string& text) const {
        const int w = Width(), h = Height();
        if (frame.size() < simdev::FrameBytes(simdev::PixelFormat::YUY2, w, h)) return false;
        simdev::Picture expected;
        expected.Resize(w, h);
        const int scale = simdev::TextScale(w);
        simdev::Rect box = simdev::LabelRect(w, 0);
        box.right = box.left + simdev::TextWidth(text, scale) + 2 * scale;
        simdev::DrawText(expected, box.left + scale, box.top + scale, text, scale, simdev::Yuv{235, 128, 128});
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                if (Luma(frame, x, y) != expected.Y(x, y)) return false;
        // The label's black box ends there: a longer text would go on.
        for (int y = box.top; y < box.bottom; ++y)
            if (Luma(frame, box.right + scale, y) != 16) return true;
        return false;
    }
    long RoutedAudioType() {
        ComPtr<IAMCrossbar> crossbar = Crossbar();
        long input = -1, related = 0, type = 0;
        crossbar->get_IsRoutedTo(1, &input);
        crossbar->get_CrossbarPinInfo(TRUE, input, &related, &type);
        return type;
    }
    // The crossbar feeding the device's analog input.
    ComPtr<IAMCrossbar> Crossbar() {
        ComPtr<IAMCrossbar> crossbar;
        ComPtr<IPin> input = FirstPin(devices_.Filter(DeviceSet::kVideo), PINDIR_INPUT), upstream;
        PIN_INFO info{};
        if (!input || FAILED(input->ConnectedTo(upstream.Put())) || FAILED(upstream->QueryPinInfo(&info))) return crossbar;
        ComPtr<IBaseFilter> owner;
        owner.Attach(info.pFilter);
        owner->QueryInterface(IID_IAMCrossbar, crossbar.PutVoid());
        return crossbar;
    }
    IAMTVTuner* Tuner() { return static_cast<IAMTVTuner*>(controls_.Interface(DeviceControls::kTvTuner)); }

    BoxWatcher boxes_;
    bool expectBoxes_ = false;
    RecordingVideoOwner owner_;
    CVidFrameWnd liveWnd_;
    DeviceSet devices_;
    DeviceControls controls_;
    InputSelector selector_;
    CaptureGraph graph_;
};

// ---------------------------------------------------------------------------------------------
// The TV box: tuner, composite and S-Video

class DevicesTvBox : public DevicesFixture {};

TEST_F(DevicesTvBox, EachInputIsRoutedWithItsSound) {
    EXPECT_TRUE(selector_.HasAnalogInput());
    for (int input : {kInputTuner, kInputComposite, kInputSVideo}) EXPECT_TRUE(selector_.HasInput(input));
    EXPECT_FALSE(selector_.HasInput(kInputWebcam));  // the crossbar has no camera input
    EXPECT_EQ(controls_.CameraControls(), nullptr);    // not a camera model
    SetSim("SignalChannels", std::string("7"));

    ASSERT_TRUE(selector_.SelectInput(kInputSVideo));
    EXPECT_TRUE(selector_.IsCurrent(kInputSVideo));
    EXPECT_TRUE(LabelReads(Frame(), "S-VIDEO"));
    EXPECT_EQ(RoutedAudioType(), PhysConn_Audio_Line);

    ASSERT_TRUE(selector_.SelectInput(kInputTuner));
    ASSERT_EQ(Tuner()->put_Channel(7, -1, -1), S_OK);
    EXPECT_TRUE(LabelReads(Frame(), "TUNER CH 7"));
    EXPECT_EQ(RoutedAudioType(), PhysConn_Audio_Tuner);

    ASSERT_TRUE(selector_.SelectInput(kInputComposite));
    EXPECT_TRUE(LabelReads(Frame(), "COMPOSITE"));
    EXPECT_EQ(RoutedAudioType(), PhysConn_Audio_Line);

    // -1 routes the current input again; an input the device lacks is not routed.
    selector_.SetCurrentInput(kInputSVideo);
    ASSERT_TRUE(selector_.SelectInput(-1));
    EXPECT_TRUE(LabelReads(Frame(), "S-VIDEO"));
    EXPECT_FALSE(selector_.SelectInput(kInputWebcam));
    EXPECT_TRUE(selector_.IsCurrent(kInputSVideo));
}

TEST_F(DevicesTvBox, CrossbarPagesChooseTheInput) {
    ASSERT_TRUE(selector_.SelectInput(kInputComposite));
    // The user picks S-Video on the crossbar's page and closes the frame.
    std::atomic<bool> chosen{false};
    const DWORD self = GetCurrentThreadId();
    std::thread user([&] {
        for (int i = 0; i < 100 && !chosen; ++i) {
            Sleep(100);
            EnumThreadWindows(self, [](HWND frame, LPARAM p) -> BOOL {
                HWND combo = nullptr;
                EnumChildWindows(frame, [](HWND c, LPARAM out) -> BOOL {
                    if (GetDlgCtrlID(c) != 1101) return TRUE;  // the page's video input list
                    *reinterpret_cast<HWND*>(out) = c;
                    return FALSE;
                }, reinterpret_cast<LPARAM>(&combo));
                if (!combo) return TRUE;
                LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
                for (LRESULT item = 0; item < n; ++item) {
                    char text[64] = {};
                    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
                    if (std::string(text) != "Video SVideo") continue;
                    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
                    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(1101, CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(combo));
                }
                PostMessageA(frame, WM_COMMAND, IDOK, 0);
                *reinterpret_cast<std::atomic<bool>*>(p) = true;
                return FALSE;
            }, reinterpret_cast<LPARAM>(&chosen));
        }
    });
    HWND owner = liveWnd_.Handle();
    selector_.ShowCrossbarProperties(owner);
    user.join();
    ASSERT_TRUE(chosen.load()) << "the crossbar's pages did not show";
    EXPECT_TRUE(selector_.IsCurrent(kInputSVideo));
    EXPECT_TRUE(LabelReads(Frame(), "S-VIDEO"));
}

TEST_F(DevicesTvBox, PictureControlsAreReadWrittenAndSeen) {
    long minimum = -1, maximum = 0, value = 0;
    ASSERT_TRUE(controls_.GetProcAmpRange(0, minimum, maximum));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 255);
    ASSERT_TRUE(controls_.GetProcAmp(0, value));
    EXPECT_EQ(value, 128);
    ASSERT_TRUE(controls_.GetProcAmpRange(3, minimum, maximum));
    EXPECT_EQ(maximum, 200);
    const double before = MeanLuma(Frame(), 40, 200, 600, 300);
    controls_.SetProcAmp(0, 230);
    ASSERT_TRUE(controls_.GetProcAmp(0, value));
    EXPECT_EQ(value, 230);
    EXPECT_GT(MeanLuma(Frame(), 40, 200, 600, 300), before + 50);
    EXPECT_FALSE(controls_.GetProcAmp(2, value));  // hue: the device has none
}

TEST_F(DevicesTvBox, CaptureSizeIndexAndASizeThatSticks) {
    EXPECT_EQ(controls_.GetCaptureSizeIndex(), 5);
    graph_.Stop();
    graph_.Dismantle();
    ASSERT_TRUE(controls_.SetCaptureSize(4));
    EXPECT_EQ(controls_.GetCaptureSizeIndex(), 4);  // 352 x 288
    ASSERT_TRUE(controls_.SetCaptureSize(3));
    EXPECT_EQ(controls_.GetCaptureSizeIndex(), 3);  // 352 x 240
    ASSERT_TRUE(controls_.SetCaptureSize(2));
    ASSERT_TRUE(StartPreview());
    EXPECT_EQ(Frame().size(), 320u * 240 * 2);
    // Rebuilt twice: the chosen size is what the pin offers now.
    Rebuild();
    Rebuild();
    EXPECT_EQ(controls_.GetCaptureSizeIndex(), 2);
    EXPECT_EQ(Frame().size(), 320u * 240 * 2);
}

TEST_F(DevicesTvBox, HeldOrPulsedSnapshotButtonIsReportedOnce) {
    controls_.PollSnapshotButton();  // whatever an earlier test left
    SetSim("Button", 1);
    EXPECT_TRUE(controls_.PollSnapshotButton());
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(controls_.PollSnapshotButton()) << "held, poll " << i;
    SetSim("Button", 0);
    EXPECT_FALSE(controls_.PollSnapshotButton());
    SetSim("Button", 1);
    EXPECT_TRUE(controls_.PollSnapshotButton());  // released and pressed again
    SetSim("Button", 0);
    EXPECT_FALSE(controls_.PollSnapshotButton());
    // A device that keeps the bit set while the button is held: still one press.
    SetSim("ButtonSticky", 1);
    SetSim("Button", 1);
    EXPECT_TRUE(controls_.PollSnapshotButton());
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(controls_.PollSnapshotButton()) << "held on a sticky device, poll " << i;
    SetSim("Button", 0);
    EXPECT_FALSE(controls_.PollSnapshotButton());
    SetSim("ButtonSticky", 0);
    // A press shorter than the poll is still seen once.
    SetSim("ButtonPulse", 1);
    EXPECT_TRUE(controls_.PollSnapshotButton());
    EXPECT_FALSE(controls_.PollSnapshotButton());
    EXPECT_EQ(controls_.LastVendorResult(), S_OK);
    // Without the driver's interface there is no button.
    controls_.Release();
    BYTE value = 0;
    EXPECT_EQ(controls_.ReadRegister(12, 1, &value), DeviceControls::kNoVendorInterface);
    SetSim("Button", 1);
    EXPECT_FALSE(controls_.PollSnapshotButton());
}

TEST_F(DevicesTvBox, FailingPropertyPagesSaySo) {
    expectBoxes_ = true;
    SetSim("FailPages", 1);
    controls_.ShowProcAmpProperties(liveWnd_.Handle());
    selector_.ShowCrossbarProperties(liveWnd_.Handle());
    EXPECT_EQ(controls_.ShowStreamConfigProperties(liveWnd_.Handle()), 5);
    auto seen = boxes_.Seen();
    ASSERT_EQ(seen.size(), 3u);
    for (const SeenBox& box : seen) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, "Error 80004005 : Device : Cannot show the property pages");
    }
    EXPECT_TRUE(selector_.IsCurrent(kInputComposite));
}

// ---------------------------------------------------------------------------------------------
// The analog video standard dialog

class DevicesTwoStandards : public DevicesFixture {
    void ConfigureSimulator() override { SetSim("Standards", 0x10 | 0x40000); }  // PAL_B, SECAM_L
};

TEST_F(DevicesTwoStandards, StandardDialogListsExactlyTheDecodersStandards) {
    auto* decoder = static_cast<IAMAnalogVideoDecoder*>(controls_.Interface(DeviceControls::kDecoder));
    ASSERT_NE(decoder, nullptr);
    AnalogVideoDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    dialog.AttachDecoder(decoder);
    HWND list = GetDlgItem(dialog.Handle(), IDC_AV_STANDARD);
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
    char text[32] = {};
    SendMessageA(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "PAL_B");
    SendMessageA(list, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "SECAM_L");
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);  // the decoder's current standard
    EXPECT_TRUE(GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    SendMessageA(list, CB_SETCURSEL, 1, 0);
    SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_AV_STANDARD, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    long standard = 0;
    decoder->get_TVFormat(&standard);
    EXPECT_EQ(standard, 0x40000);
    // A device that has gone refuses: the list goes back to what the decoder says.
    SetSim("Unplugged", 1);
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_AV_STANDARD, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), -1);
    SetSim("Unplugged", 0);
}

// ---------------------------------------------------------------------------------------------
// Crossbar variants

class DevicesSVideoOnly : public DevicesFixture {
    void ConfigureSimulator() override { SetSim("Crossbar", std::string("svideo")); }
};

TEST_F(DevicesSVideoOnly, StoredCompositeFallsBackToSVideo) {
    EXPECT_FALSE(selector_.HasInput(kInputComposite));
    EXPECT_FALSE(selector_.HasInput(kInputTuner));
    EXPECT_TRUE(selector_.HasInput(kInputSVideo));
    selector_.SetCurrentInput(kInputComposite);
    ASSERT_TRUE(selector_.SelectInput(-1));
    EXPECT_EQ(selector_.CurrentInput(), kInputSVideo);
    EXPECT_TRUE(LabelReads(Frame(), "S-VIDEO"));
}

class DevicesNoComposite : public DevicesFixture {
    void ConfigureSimulator() override { SetSim("Crossbar", std::string("nocomposite")); }
};

TEST_F(DevicesNoComposite, StoredCompositeFallsBackToTheFirstInputPresent) {
    EXPECT_FALSE(selector_.HasInput(kInputComposite));
    EXPECT_TRUE(selector_.HasInput(kInputTuner));
    EXPECT_TRUE(selector_.HasInput(kInputSVideo));
    selector_.SetCurrentInput(kInputComposite);
    ASSERT_TRUE(selector_.SelectInput(-1));
    EXPECT_EQ(selector_.CurrentInput(), kInputTuner);
    EXPECT_TRUE(LabelReads(Frame(), "TUNER CH 4"));  // channel 4 has a programme by default
}

class DevicesRefusingRoute : public DevicesFixture {
    void ConfigureSimulator() override { SetSim("RefuseRoute", 3); }  // S-Video
};

TEST_F(DevicesRefusingRoute, ARefusedRouteKeepsTheInputInUse) {
    ASSERT_TRUE(selector_.SelectInput(kInputComposite));
    EXPECT_TRUE(selector_.HasInput(kInputSVideo));  // the crossbar says it can
    EXPECT_FALSE(selector_.SelectInput(kInputSVideo));
    EXPECT_TRUE(selector_.IsCurrent(kInputComposite));
    EXPECT_TRUE(LabelReads(Frame(), "COMPOSITE"));
}

// ---------------------------------------------------------------------------------------------
// The webcam: no crossbar, camera controls on the driver's interface

class DevicesWebcam : public DevicesFixture {
protected:
    void ConfigureSimulator() override {
        ASSERT_TRUE(sim_.Register("USB Vexa20 Camera", "", " (simulated)", "webcam"));
    }
    SimulatedDevices sim_;
};

TEST_F(DevicesWebcam, WithoutCrossbarOnlyTheCameraIsOffered) {
    EXPECT_FALSE(selector_.HasAnalogInput());
    EXPECT_TRUE(selector_.HasInput(kInputWebcam));
    for (int entry : {0, 1, 2, 4, 5, 6}) EXPECT_FALSE(selector_.HasInput(entry)) << entry;
    EXPECT_TRUE(selector_.SelectInput(-1));
    EXPECT_TRUE(selector_.IsCurrent(kInputWebcam));
    EXPECT_TRUE(LabelReads(Frame(), "CAMERA"));
    EXPECT_NE(controls_.CameraControls(), nullptr);
    EXPECT_EQ(controls_.Interface(DeviceControls::kCameraControl), controls_.CameraControls());
}

TEST_F(DevicesWebcam, WebcamDialogReadsAndWritesTheCamera) {
    SetSetting("Webcam_Left", 100);
    SetSetting("Webcam_Top", 120);
    WebcamDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    dialog.AttachCameraControls(controls_.CameraControls());
    dialog.Show(true);
    HWND d = dialog.Handle();
    RECT r;
    GetWindowRect(d, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 120);
    HWND bar = GetDlgItem(d, IDC_WC_EXPOSURE);
    EXPECT_EQ(IsDlgButtonChecked(d, IDC_WC_AUTO), BST_CHECKED);
    EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMAX, 0, 0), 255);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 128);
    EXPECT_EQ(SendMessageA(bar, TBM_GETTIC, 0, 0), 255);  // the tick at the automatic maximum
    EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_WC_LIGHT), CB_GETCOUNT, 0, 0), 3);

    IDevicePrivateProperties* camera = controls_.CameraControls();
    auto read = [&](DWORD id) {
        LONG v = -1;
        camera->GetProperty(id, &v);
        return v;
    };
    const double before = MeanLuma(Frame(), 40, 60, 600, 300);
    // Brighter in automatic mode.
    SendMessageA(bar, TBM_SETPOS, TRUE, 240);
    SendMessageA(d, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 240), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(read(33), 240);
    EXPECT_GT(MeanLuma(Frame(), 40, 60, 600, 300), before + 20);

    // Manual mode: its own range and value, no tick marks.
    Click(d, IDC_WC_AUTO);
    EXPECT_EQ(read(32), 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETRANGEMAX, 0, 0), 1000);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 500);
    EXPECT_EQ(SendMessageA(bar, TBM_GETTIC, 0, 0), -1);
    SendMessageA(bar, TBM_SETPOS, TRUE, 150);
    SendMessageA(d, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(read(34), 150);
    EXPECT_LT(MeanLuma(Frame(), 40, 60, 600, 300), before - 20);

    for (int id : {IDC_WC_LIGHT, IDC_WC_FLICKER}) {
        HWND combo = GetDlgItem(d, id);
        SendMessageA(combo, CB_SETCURSEL, 2, 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    EXPECT_EQ(read(35), 2);
    EXPECT_EQ(read(36), 2);

    // Closing keeps the place; the next opening reads the camera again.
    SetWindowPos(d, nullptr, 240, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Click(d, IDOK);
    EXPECT_FALSE(IsWindowVisible(d));
    EXPECT_EQ(SettingInt("Webcam_Left", 0), 240);
    EXPECT_EQ(SettingInt("Webcam_Top", 0), 260);
    LONG automatic = 1;
    camera->SetProperty(32, &automatic);
    dialog.Show(true);
    EXPECT_EQ(IsDlgButtonChecked(d, IDC_WC_AUTO), BST_CHECKED);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 240);
    EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_WC_FLICKER), CB_GETCURSEL, 0, 0), 2);
    GetWindowRect(d, &r);
    EXPECT_EQ(r.left, 240);
}

TEST_F(DevicesWebcam, WebcamDialogOffScreenOrWithAGoneCamera) {
    SetSetting("Webcam_Left", 50000);
    SetSetting("Webcam_Top", -9000);
    WebcamDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    dialog.AttachCameraControls(controls_.CameraControls());
    SetSim("Unplugged", 1);
    dialog.Show(true);
    HWND d = dialog.Handle();
    RECT r;
    GetWindowRect(d, &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 20);
    // Nothing can be read: safe values, and the controls still answer.
    EXPECT_EQ(SendMessageA(GetDlgItem(d, IDC_WC_EXPOSURE), TBM_GETRANGEMAX, 0, 0), 0);
    Click(d, IDC_WC_AUTO);
    SendMessageA(d, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_WC_EXPOSURE)));
    SetSim("Unplugged", 0);
    Click(d, IDOK);
    EXPECT_FALSE(IsWindowVisible(d));
}

// ---------------------------------------------------------------------------------------------
// The TV tuner window

class DevicesTuner : public DevicesFixture {
protected:
    void ConfigureSimulator() override { SetSim("SignalChannels", std::string("3,5,9,40-42")); }
    // The window for the stored state written so far.
    void OpenWindow() {
        ASSERT_TRUE(window_.CreateModeless(nullptr));
        window_.AttachTuner(Tuner(), static_cast<IAMTVAudio*>(controls_.Interface(DeviceControls::kTvAudio)));
        window_.Show(true);
        d_ = window_.Handle();
    }
    long TunedChannel() {
        long channel = 0, video = 0, audio = 0;
        Tuner()->get_Channel(&channel, &video, &audio);
        return channel;
    }
    std::string ComboText() { return Text(GetDlgItem(d_, IDC_TV_CHANNELS)); }
    void Digits(const std::string& digits) {
        for (char c : digits) Click(d_, c == '0' ? IDC_TV_DIGIT_0 : IDC_TV_DIGIT_1 + (c - '1'));
    }
    bool ScanToTheEnd(DWORD timeoutMs) {
        DWORD start = GetTickCount();
        while (window_.Scanning()) {
            if (GetTickCount() - start > timeoutMs) return false;
            PumpFor(50);
        }
        return true;
    }
    std::vector<int> ComboChannels() {
        HWND combo = GetDlgItem(d_, IDC_TV_CHANNELS);
        std::vector<int> channels;
        for (LRESULT i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i)
            channels.push_back(static_cast<int>(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        return channels;
    }
    TvTunerDialog window_;
    HWND d_ = nullptr;
};

TEST_F(DevicesTuner, ScanFindsExactlyTheLiveChannelsAndStoresThem) {
    SetSetting("TV_InputType", 1);  // antenna: channels 2 to 69
    OpenWindow();
    ASSERT_TRUE(selector_.SelectInput(kInputTuner));
    Click(d_, IDC_TV_TUNE);
    EXPECT_EQ(Text(GetDlgItem(d_, IDC_TV_TUNE)), "STOP");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d_, IDC_TV_ENTER)));
    ASSERT_TRUE(ScanToTheEnd(30000));
    EXPECT_EQ(window_.List().Channels(), (std::vector<int>{3, 5, 9, 40, 41, 42}));
    EXPECT_EQ(ComboChannels(), window_.List().Channels());
    EXPECT_EQ(SettingBytes("TV_1"), (std::vector<uint8_t>{3, 5, 9, 40, 41, 42}));
    EXPECT_EQ(Text(GetDlgItem(d_, IDC_TV_TUNE)), "Tune");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d_, IDC_TV_ENTER)));
    // Back on the channel it had before the scan.
    EXPECT_EQ(TunedChannel(), 4);
    EXPECT_TRUE(LabelReads(Frame(), "TUNER CH 4 NO SIGNAL"));
}

TEST_F(DevicesTuner, StopKeepsWhatTheScanFoundSoFar) {
    SetSetting("TV_InputType", 1);
    OpenWindow();
    Click(d_, IDC_TV_TUNE);
    // The scan starts by emptying the list, then fills it as it finds channels.
    DWORD start = GetTickCount();
    while (!window_.List().Empty() && GetTickCount() - start < 5000) PumpFor(20);
    while (window_.List().Count() < 3 && GetTickCount() - start < 20000) PumpFor(20);
    Click(d_, IDC_TV_TUNE);  // STOP
    ASSERT_TRUE(ScanToTheEnd(5000));
    EXPECT_EQ(window_.List().Channels(), (std::vector<int>{3, 5, 9}));
    EXPECT_EQ(SettingBytes("TV_1"), (std::vector<uint8_t>{3, 5, 9}));
}

TEST_F(DevicesTuner, ChannelsTypedSteppedListedAndRemembered) {
    SetSetting("TV_InputType", 1);
    OpenWindow();
    ASSERT_TRUE(selector_.SelectInput(kInputTuner));
    EXPECT_EQ(window_.List().Count(), 68);  // nothing stored: the whole range
    Digits("9");
    Click(d_, IDC_TV_ENTER);
    EXPECT_EQ(TunedChannel(), 9);
    EXPECT_EQ(ComboText(), "9");
    EXPECT_EQ(Text(GetDlgItem(d_, IDC_TV_RECENT_0)), "9");
    EXPECT_EQ(IsDlgButtonChecked(d_, IDC_TV_RECENT_0), BST_CHECKED);
    EXPECT_TRUE(LabelReads(Frame(), "TUNER CH 9"));
    Digits("125");  // out of the antenna range: nothing tuned
    EXPECT_EQ(TunedChannel(), 9);
    EXPECT_EQ(ComboText(), "9");
    // Stepping wraps round the range.
    SetWindowTextA(GetDlgItem(d_, IDC_TV_CHANNELS), "2");
    Click(d_, IDC_TV_CHANNEL_DOWN);
    EXPECT_EQ(TunedChannel(), 69);
    Click(d_, IDC_TV_CHANNEL_UP);
    EXPECT_EQ(TunedChannel(), 2);
    EXPECT_EQ(Text(GetDlgItem(d_, IDC_TV_RECENT_1)), "0");  // only Enter remembers

    // A list of our own: remove all but a few by resetting to a stored list, then insert one.
    SetSettingBytes("TV_1", {5, 40});
    Click(d_, IDC_TV_CABLE);
    Click(d_, IDC_TV_ANTENNA);
    EXPECT_EQ(window_.List().Channels(), (std::vector<int>{5, 40}));
    SetWindowTextA(GetDlgItem(d_, IDC_TV_CHANNELS), "8");
    Click(d_, IDC_TV_ENTER);
    Click(d_, IDC_TV_INSERT);
    EXPECT_EQ(window_.List().Channels(), (std::vector<int>{5, 8, 40}));
    EXPECT_EQ(SettingBytes("TV_1"), (std::vector<uint8_t>{5, 8, 40}));
    Click(d_, IDC_TV_LIST_NEXT);
    EXPECT_EQ(TunedChannel(), 40);
    Click(d_, IDC_TV_LIST_NEXT);
    EXPECT_EQ(TunedChannel(), 5);
    Click(d_, IDC_TV_LIST_PREVIOUS);
    EXPECT_EQ(TunedChannel(), 40);
    Click(d_, IDC_TV_INSERT);  // removes the last: the one before becomes current
    EXPECT_EQ(TunedChannel(), 8);
    EXPECT_EQ(SettingBytes("TV_1"), (std::vector<uint8_t>{5, 8}));

    // Closing stores the state; a new window takes it up.
    Click(d_, IDC_TV_CLOSE);
    EXPECT_FALSE(window_.IsVisible());
    EXPECT_EQ(SettingInt("TV_Channel_1", 0), 8);
    EXPECT_EQ(SettingInt("TV_InputType", -1), 1);
    EXPECT_EQ(SettingInt("TV_Recent_1", 0) & 0xFF, 8);
    EXPECT_EQ(SettingInt("TV_Country", 0), 1);
}

TEST_F(DevicesTuner, AdvancedShowsTheTunersOwnPages) {
    OpenWindow();
    std::atomic<bool> shown{false};
    const DWORD self = GetCurrentThreadId();
    std::thread user([&] {
        for (int i = 0; i < 100 && !shown; ++i) {
            Sleep(100);
            EnumThreadWindows(self, [](HWND frame, LPARAM p) -> BOOL {
                HWND page = nullptr;
                EnumChildWindows(frame, [](HWND c, LPARAM out) -> BOOL {
                    if (GetDlgCtrlID(c) != 1001) return TRUE;  // the device page's brightness slider
                    *reinterpret_cast<HWND*>(out) = c;
                    return FALSE;
                }, reinterpret_cast<LPARAM>(&page));
                if (!page) return TRUE;
                PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
                *reinterpret_cast<std::atomic<bool>*>(p) = true;
                return FALSE;
            }, reinterpret_cast<LPARAM>(&shown));
        }
    });
    PostMessageA(GetDlgItem(d_, IDC_TV_ADVANCED), BM_CLICK, 0, 0);
    DWORD start = GetTickCount();
    while (!shown && GetTickCount() - start < 12000) PumpFor(50);
    user.join();
    EXPECT_TRUE(shown.load()) << "the tuner's pages did not show";
    EXPECT_TRUE(window_.IsVisible());
}

TEST_F(DevicesTuner, TooltipsAreSwitchedFromTheBackgroundMenu) {
    OpenWindow();
    HWND tips = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM out) -> BOOL {
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::string(cls) != TOOLTIPS_CLASSA) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    EXPECT_GE(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 15);
    // The right button released on the background: one entry, "Disable Tooltips", chosen here.
    std::atomic<bool> chosen{false};
    std::thread user([&] {
        for (int i = 0; i < 100 && !chosen; ++i) {
            Sleep(100);
            HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) continue;
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            chosen = true;
        }
    });
    PostMessageA(d_, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
    DWORD start = GetTickCount();
    while (!chosen && GetTickCount() - start < 12000) PumpFor(50);
    PumpFor(300);
    user.join();
    ASSERT_TRUE(chosen.load()) << "no menu";
    Click(d_, IDC_TV_CLOSE);
    EXPECT_EQ(SettingInt("TV_Tips", 1), 0);
}

TEST_F(DevicesTuner, DamagedStoredStateGivesSafeDefaults) {
    SetSetting("TV_InputType", 7);
    SetSetting("TV_Country", static_cast<DWORD>(-3));
    SetSetting("TV_Channel_0", 5000);
    SetSetting("TV_Left", 100000);
    SetSetting("TV_Top", 100000);
    SetSettingBytes("TV_0", std::vector<uint8_t>(300, 7));
    OpenWindow();
    EXPECT_EQ(window_.InputType(), 0);
    EXPECT_EQ(window_.CurrentChannel(), 1);      // wrapped into 1..125
    EXPECT_EQ(window_.List().Count(), 125);      // an oversized list gives the whole range
    long country = 0;
    Tuner()->get_CountryCode(&country);
    EXPECT_EQ(country, TvTunerDialog::kDefaultCountry);
    RECT r;
    GetWindowRect(d_, &r);
    EXPECT_EQ(r.left, 20);
    Click(d_, IDC_TV_CLOSE);

    // A list stored as something else, and one with channels out of order or out of range.
    TvTunerDialog again;
    SetSettingBytes("TV_0", {0xFF, 0xFF, 0xFF, 0xFF}, REG_DWORD);
    ASSERT_TRUE(again.CreateModeless(nullptr));
    again.AttachTuner(Tuner(), nullptr);
    EXPECT_EQ(again.List().Count(), 125);
    TvTunerDialog third;
    SetSettingBytes("TV_0", {9, 200, 3, 9, 0});
    ASSERT_TRUE(third.CreateModeless(nullptr));
    third.AttachTuner(Tuner(), nullptr);
    EXPECT_EQ(third.List().Channels(), (std::vector<int>{3, 9}));
}

TEST_F(DevicesTuner, WindowKeepsWorkingWhenTheDeviceVanishes) {
    SetSetting("TV_InputType", 1);
    OpenWindow();
    SetSim("Unplugged", 1);
    Digits("7");
    Click(d_, IDC_TV_ENTER);
    Click(d_, IDC_TV_LIST_NEXT);
    Click(d_, IDC_TV_ANTENNA);
    Click(d_, IDC_TV_CABLE);
    Click(d_, IDC_TV_TUNE);
    ASSERT_TRUE(ScanToTheEnd(20000));
    EXPECT_TRUE(window_.List().Empty());  // nothing answered
    EXPECT_EQ(Text(GetDlgItem(d_, IDC_TV_TUNE)), "Tune");
    Click(d_, IDC_TV_CLOSE);
    EXPECT_FALSE(window_.IsVisible());
    SetSim("Unplugged", 0);
}

}  // namespace
}  // namespace lumetra::testing
