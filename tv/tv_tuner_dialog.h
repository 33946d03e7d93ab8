#pragma once
// The TV tuner window: cable or antenna input, channel numbers typed or stepped, a personal channel
// list (built by hand, reset to the full range, or by a scan of the channels with a signal), the
// four recent channels, and the tuner's own property pages. It talks to the tuner only through
// IAMTVTuner and keeps its state in the settings key.
#include <dshow.h>

#include <string>

#include "framework/com_ptr.h"
#include "framework/dialog.h"
#include "framework/dshow_extra.h"
#include "tv/channel_list.h"

namespace lumetra {

class TvTunerDialog : public Dialog {
public:
    // Country code given to the tuner when none is stored: 1, the North American channel plan, which
    // the tuner's default standard (NTSC-M) and channel ranges belong to.
    static constexpr int kDefaultCountry = 1;

    TvTunerDialog();
    ~TvTunerDialog() override;

    // Takes the tuner (and its TV audio, kept for the tuner's owner), loads the stored state, sets the
    // tuner to it and fills the window.
    void AttachTuner(IAMTVTuner* tuner, IAMTVAudio* tvAudio);
    // AttachTuner in two steps, for an owner that sets the tuner before it makes the window: the
    // stored state goes to the tuner first (no window needed), then the window is created hidden and
    // filled from it.
    void TuneFromStoredState(IAMTVTuner* tuner, IAMTVAudio* tvAudio);
    bool CreateWindowFor(HWND owner);
    void Show(bool show);
    bool IsVisible() const;
    // Hides the window and stores the state, as its Close button does.
    void Close();
    // Tunes a channel of the current input type, as Enter on its number does but without remembering
    // it among the recent channels (a scheduled recording); a channel out of range is ignored.
    void TuneTo(int channel);

    // State, for the owner and tests.
    int InputType() const { return inputType_; }
    int CurrentChannel() const { return channels_[inputType_]; }
    const ChannelList& List() const { return list_; }
    bool Scanning() const { return scanning_ || startRequested_; }

protected:
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override { Close(); }
    void OnCancel() override { Close(); }

private:
    void LoadState();
    void StoreState() const;
    bool LoadList(int inputType);
    void StoreList() const;
    void InitWindow();
    void CreateTooltips();
    void SetTip(int id, UINT stringId);
    void ToggleTooltipsMenu();

    void ReadRange();
    void ApplyChannel();
    void RefreshInList();
    void UpdateRecent(bool remember);
    void ShowList();
    void SetComboText(int value);
    std::string ComboText() const;
    void FullList();

    void OnInputType(int type);
    void OnDigit(int digit);
    void OnTypedNumber(int step, bool remember);
    void OnListSelection();
    void OnListStep(bool next);
    void OnRecent(int position);
    void OnInsertOrRemove();
    void OnTune();
    void OnScanTick();
    void FinishScan();
    void EnableAll(bool enable);
    void OnAdvanced();

    ComPtr<IAMTVTuner> tuner_;
    ComPtr<IAMTVAudio> tvAudio_;
    HWND tooltips_ = nullptr;

    int inputType_ = 0;
    int country_ = kDefaultCountry;
    int channels_[2] = {4, 4};
    RecentChannels recent_[2];
    int left_ = 20, top_ = 20;
    bool tips_ = true;
    long min_ = 0, max_ = 0;
    ChannelList list_;
    bool notInList_ = true;

    bool startRequested_ = false, scanning_ = false, stopRequested_ = false;
    int nextScanChannel_ = 0;
};

}  // namespace lumetra
