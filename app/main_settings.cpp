#include "app/main_settings.h"

#include "app/settings_store.h"
#include "media/input_selector.h"

namespace lumetra {

void LoadMainSettings(MainWindowState& state, InputSelector& selector, int viewCount) {
    state.skinView = 0;
    state.audioEnum = -1;
    int input = kNoStoredInput;

    RegKey key = OpenSettingsKey();
    if (key) {
        HKEY k = key.Get();
        ReadDword(k, "StreamFormat", state.streamFormat);
        ReadDword(k, "SkinView", state.skinView);
        ReadDword(k, "PropView", state.propView);
        ReadDword(k, "DisplaySize", state.displaySize);
        ReadDword(k, "AudioEnumCnt", state.audioEnumCnt);
        ReadDword(k, "AudioEnum", state.audioEnum);
        ReadDword(k, "CrossbarInputCnt", state.crossbarInputCnt);
        ReadDword(k, "CrossbarInput", input);
        if (!ReadDword(k, "CfgResync", state.cfgResync)) state.cfgResync = kDefaultResyncMinutes;
        if (input != kNoStoredInput) selector.SetCurrentInput(input);
    }
    // A damaged PropView would index past the four properties.
    if (state.propView < kPropVolume || state.propView > kPropSaturation) state.propView = kPropVolume;
    if (state.cfgResync < 0) state.cfgResync = 0;
    if (state.streamFormat < 0 || state.streamFormat >= kCaptureSizeCount) state.streamFormat = kDefaultStreamFormat;
    int view = ViewForStoredIndex(state.skinView, viewCount);
    state.skinView = view < 0 ? 0 : view;
}

void SaveMainSettings(const MainWindowState& state, const InputSelector& selector) {
    RegKey key = OpenSettingsKey();
    if (!key) return;
    HKEY k = key.Get();
    WriteDword(k, "StreamFormat", state.streamFormat);
    WriteDword(k, "CrossbarInputCnt", state.crossbarInputCnt);
    WriteDword(k, "CrossbarInput", selector.CurrentInput());
    WriteDword(k, "SkinView", state.skinView);
    WriteDword(k, "PropView", state.propView);
    WriteDword(k, "DisplaySize", state.displaySize);
    WriteDword(k, "AudioEnumCnt", state.audioEnumCnt);
    WriteDword(k, "AudioEnum", state.audioEnum);
}

}  // namespace lumetra
