#pragma once
// DirectShow interfaces that the mingw-w64 headers name but do not declare, written from their
// documented method lists (the identifiers themselves come from strmiids). Each is guarded like the
// system headers guard their own declarations, so a header that declares them wins.
#include <dshow.h>

#ifndef __IAMAnalogVideoDecoder_INTERFACE_DEFINED__
#define __IAMAnalogVideoDecoder_INTERFACE_DEFINED__
MIDL_INTERFACE("C6E13350-30AC-11d0-A18C-00A0C9118956")
IAMAnalogVideoDecoder : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE get_AvailableTVFormats(long* lAnalogVideoStandard) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_TVFormat(long lAnalogVideoStandard) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TVFormat(long* plAnalogVideoStandard) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HorizontalLocked(long* plLocked) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_VCRHorizontalLocking(long lVCRHorizontalLocking) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_VCRHorizontalLocking(long* plVCRHorizontalLocking) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NumberOfLines(long* plNumberOfLines) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_OutputEnable(long lOutputEnable) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_OutputEnable(long* plOutputEnable) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IAMAnalogVideoDecoder, 0xc6e13350, 0x30ac, 0x11d0, 0xa1, 0x8c, 0x00, 0xa0, 0xc9, 0x11, 0x89, 0x56)
#endif
#endif

#ifndef __IAMTVAudio_INTERFACE_DEFINED__
#define __IAMTVAudio_INTERFACE_DEFINED__
MIDL_INTERFACE("83EC1C30-23D1-11d1-99E6-00A0C9560266")
IAMTVAudio : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE GetHardwareSupportedTVAudioModes(long* plModes) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAvailableTVAudioModes(long* plModes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TVAudioMode(long* plMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_TVAudioMode(long lMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterNotificationCallBack(IAMTunerNotification* pNotify, long lEvents) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnRegisterNotificationCallBack(IAMTunerNotification* pNotify) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IAMTVAudio, 0x83ec1c30, 0x23d1, 0x11d1, 0x99, 0xe6, 0x00, 0xa0, 0xc9, 0x56, 0x02, 0x66)
#endif
#endif

#ifndef __IAMAudioInputMixer_INTERFACE_DEFINED__
#define __IAMAudioInputMixer_INTERFACE_DEFINED__
MIDL_INTERFACE("54C39221-8380-11d0-B3F0-00AA003761C5")
IAMAudioInputMixer : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE put_Enable(BOOL fEnable) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Enable(BOOL* pfEnable) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Mono(BOOL fMono) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Mono(BOOL* pfMono) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MixLevel(double Level) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MixLevel(double* pLevel) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Pan(double Pan) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Pan(double* pPan) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Loudness(BOOL fLoudness) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Loudness(BOOL* pfLoudness) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Treble(double Treble) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Treble(double* pTreble) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TrebleRange(double* pRange) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bass(double Bass) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Bass(double* pBass) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BassRange(double* pRange) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IAMAudioInputMixer, 0x54c39221, 0x8380, 0x11d0, 0xb3, 0xf0, 0x00, 0xaa, 0x00, 0x37, 0x61, 0xc5)
#endif
#endif
