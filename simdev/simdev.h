#pragma once
// Public face of the simulated capture devices: class identifiers, the driver's private property
// interface, and the names of the test-control registry key and its values (see simdev/README.md).
#include <windows.h>
#include <unknwn.h>

// The simulated video capture filter (registered in the video input device category).
// {E6EBE972-930E-4DE3-BA2D-BAF0EC0E017F}
DEFINE_GUID(CLSID_SimVideoCapture, 0xe6ebe972, 0x930e, 0x4de3, 0xba, 0x2d, 0xba, 0xf0, 0xec, 0x0e, 0x01, 0x7f);
// The simulated audio capture filter (audio input, KS audio and KS audio device categories).
// {8667331E-57F8-4AF9-AAE7-CFF38ADEE328}
DEFINE_GUID(CLSID_SimAudioCapture, 0x8667331e, 0x57f8, 0x4af9, 0xaa, 0xe7, 0xcf, 0xf3, 0x8a, 0xde, 0xe3, 0x28);
// The crossbar that the video filter places upstream of itself (class id reported by GetClassID).
// {3D00D41F-B507-44C2-A313-C2105028EA3D}
DEFINE_GUID(CLSID_SimCrossbar, 0x3d00d41f, 0xb507, 0x44c2, 0xa3, 0x13, 0xc2, 0x10, 0x50, 0x28, 0xea, 0x3d);
// Property pages: picture controls, crossbar routing, capture format.
// {CF16A23B-7A21-4A3D-97B2-D411EC8AFB6F}
DEFINE_GUID(CLSID_SimPicturePage, 0xcf16a23b, 0x7a21, 0x4a3d, 0x97, 0xb2, 0xd4, 0x11, 0xec, 0x8a, 0xfb, 0x6f);
// {D75D3126-FDF2-4C54-BDEF-A5192B880DAA}
DEFINE_GUID(CLSID_SimCrossbarPage, 0xd75d3126, 0xfdf2, 0x4c54, 0xbd, 0xef, 0xa5, 0x19, 0x2b, 0x88, 0x0d, 0xaa);
// {5D01568B-310E-4EC3-8720-03F07C504A70}
DEFINE_GUID(CLSID_SimFormatPage, 0x5d01568b, 0x310e, 0x4ec3, 0x87, 0x20, 0x03, 0xf0, 0x7c, 0x50, 0x4a, 0x70);

// The capture driver's private property interface. After the three IUnknown methods come a
// reserved method, SetProperty and GetProperty. Register access: property 0x1005 selects a
// register with a 32-bit word (bits 8-15 register, bits 0-7 byte count; 0 releases the selection),
// property 0x1006 moves the selected bytes through the data pointer.
// {BE0AB5D2-3B9A-4E42-A05E-4A178B566C7C}
DEFINE_GUID(IID_IVexaDeviceProperties, 0xbe0ab5d2, 0x3b9a, 0x4e42, 0xa0, 0x5e, 0x4a, 0x17, 0x8b, 0x56, 0x6c, 0x7c);
MIDL_INTERFACE("BE0AB5D2-3B9A-4E42-A05E-4A178B566C7C")
IVexaDeviceProperties : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE Reserved() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProperty(DWORD propertyId, void* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(DWORD propertyId, void* data) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IVexaDeviceProperties, 0xbe0ab5d2, 0x3b9a, 0x4e42, 0xa0, 0x5e, 0x4a, 0x17, 0x8b, 0x56, 0x6c, 0x7c)
#endif

namespace simdev {

constexpr DWORD kPropRegisterSelect = 0x1005;
constexpr DWORD kPropRegisterData = 0x1006;

// Test control: HKEY_LOCAL_MACHINE\Software\LumetraSim.
constexpr const wchar_t* kControlKey = L"Software\\LumetraSim";
// Read by DllRegisterServer.
constexpr const wchar_t* kValProfile = L"Profile";          // REG_SZ tvbox | grabber | webcam
constexpr const wchar_t* kValVideoName = L"VideoName";      // REG_SZ, default "USB Vexa40 Video"
constexpr const wchar_t* kValAudioName = L"AudioName";      // REG_SZ, default "USB Vexa Audio Device"
constexpr const wchar_t* kValNameSuffix = L"NameSuffix";    // REG_SZ, default " (simulated)"
// Read by the filters at Run and about five times a second while streaming.
constexpr const wchar_t* kValScene = L"Scene";              // REG_DWORD 0 moving, 1 still, 2 motion in MotionRect
constexpr const wchar_t* kValMotionRect = L"MotionRect";    // REG_SZ "left,top,right,bottom" in pixels
constexpr const wchar_t* kValSignalChannels = L"SignalChannels";  // REG_SZ e.g. "2,4,7-9"
constexpr const wchar_t* kValDropFrames = L"DropFrames";    // REG_DWORD frames to drop; reset to 0 when taken
constexpr const wchar_t* kValUnplugged = L"Unplugged";      // REG_DWORD 1: the device is gone
constexpr const wchar_t* kValStandards = L"Standards";      // REG_DWORD AnalogVideoStandard mask replacing the profile's
constexpr const wchar_t* kValCrossbar = L"Crossbar";        // REG_SZ full | nocomposite | svideo (at creation)
constexpr const wchar_t* kValRefuseRoute = L"RefuseRoute";  // REG_DWORD connector type whose routes fail (at creation)
// REG_SZ "min,max" of the brightness control, replacing 0,255 (at creation); it starts in the middle.
constexpr const wchar_t* kValBrightnessRange = L"BrightnessRange";
// Read on every call that uses them.
constexpr const wchar_t* kValFailPages = L"FailPages";      // REG_DWORD 1: GetPages of every device object fails
// Read on every register access.
constexpr const wchar_t* kValButton = L"Button";            // REG_DWORD 1 pressed, 0 released
constexpr const wchar_t* kValButtonPulse = L"ButtonPulse";  // REG_DWORD 1: a short press; set back to 0 when taken
constexpr const wchar_t* kValButtonSticky = L"ButtonSticky";  // REG_DWORD 1: writing back does not clear a held press
// Written by DllRegisterServer: what is registered, so that unregistration removes exactly that.
constexpr const wchar_t* kRegisteredKey = L"Software\\LumetraSim\\Registered";

constexpr const wchar_t* kDefaultVideoName = L"USB Vexa40 Video";
constexpr const wchar_t* kDefaultAudioName = L"USB Vexa Audio Device";
constexpr const wchar_t* kDefaultNameSuffix = L" (simulated)";
constexpr const wchar_t* kDefaultSignalChannels = L"2,4,5,7,9,11,13,25,40";

}  // namespace simdev
