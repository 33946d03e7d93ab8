#pragma once
// The capture driver's private property interface {BE0AB5D2-3B9A-4E42-A05E-4A178B566C7C}. After the
// three IUnknown methods its second method sets a property and its third gets one, each with a
// property id and a pointer to the data; what its first method does is the driver's affair.
//
// Register access: property 0x1005 selects registers with a 32-bit word (bits 8 to 15 the register,
// bits 0 to 7 the byte count; 0 releases the selection), property 0x1006 moves the selected bytes.
// The camera models answer their camera controls through the same two methods, with 32-bit values.
#include <windows.h>
#include <unknwn.h>

namespace lumetra {

extern const IID kIidDevicePrivateProperties;

struct IDevicePrivateProperties : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProperty(DWORD propertyId, void* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(DWORD propertyId, void* data) = 0;
};

constexpr DWORD kPropRegisterSelect = 0x1005;
constexpr DWORD kPropRegisterData = 0x1006;

// Camera controls of the camera models (32-bit values).
enum CameraControlId : DWORD {
    kCamAutoExposure = 32,        // 1 automatic exposure, 0 manual
    kCamAutoExposureValue = 33,   // exposure target in automatic mode
    kCamManualExposureValue = 34, // exposure in manual mode
    kCamAmbientLight = 35,        // 0 fluorescent, 1 incandescent, 2 natural
    kCamFlicker = 36,             // 0 60 Hz, 1 50 Hz, 2 no flicker
    kCamManualExposureMax = 0x1003,
    kCamAutoExposureMax = 0x1004,
};

}  // namespace lumetra
