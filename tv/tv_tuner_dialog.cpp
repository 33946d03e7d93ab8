#include "tv/tv_tuner_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "app/helpers.h"
#include "app/settings_store.h"
#include "framework/handles.h"
#include "framework/window.h"
#include "media/graph_util.h"
#include "media/tool_window.h"
#include "res/resource.h"

namespace lumetra {
namespace {

constexpr UINT_PTR kScanTimer = 1;
constexpr UINT kIdleTickMs = 500;
constexpr UINT kScanStepMs = 50;
constexpr WindowOrigin kDefaultOrigin{20, 20};
constexpr int kRecentIds[RecentChannels::kCount] = {IDC_TV_RECENT_0, IDC_TV_RECENT_1, IDC_TV_RECENT_2,
                                                   IDC_TV_RECENT_3};
constexpr UINT kToggleTipsCommand = 1;

// Digits typed so far, shared by every tuner window of the process.
TypedChannel& Typed() {
    static TypedChannel typed;
    return typed;
}

std::string Number(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

std::string ListValueName(int inputType) { return "TV_" + Number(inputType); }

}  // namespace

TvTunerDialog::TvTunerDialog() : Dialog(IDD_TV_TUNER) {}

TvTunerDialog::~TvTunerDialog() {
    if (Handle() && IsWindowVisible(Handle())) Close();
}

BOOL TvTunerDialog::OnInitDialog() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CreateTooltips();
    return TRUE;
}

void TvTunerDialog::AttachTuner(IAMTVTuner* tuner, IAMTVAudio* tvAudio) {
    TuneFromStoredState(tuner, tvAudio);
    InitWindow();
}

void TvTunerDialog::TuneFromStoredState(IAMTVTuner* tuner, IAMTVAudio* tvAudio) {
    tuner_ = ComPtr<IAMTVTuner>(tuner);
    tvAudio_ = ComPtr<IAMTVAudio>(tvAudio);
    LoadState();
    if (tuner_) {
        tuner_->put_CountryCode(country_);
        tuner_->put_InputType(0, inputType_ ? TunerInputAntenna : TunerInputCable);
    }
    ReadRange();
    // Kept within the tuner's range here already, so the picture shows the channel the window will show.
    channels_[inputType_] = WrapChannel(channels_[inputType_], min_, max_);
    if (tuner_) tuner_->put_Channel(channels_[inputType_], AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT);
}

bool TvTunerDialog::CreateWindowFor(HWND owner) {
    if (!CreateModeless(owner)) return false;
    InitWindow();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Stored state

void TvTunerDialog::LoadState() {
    RegKey key = OpenSettingsKey();
    HKEY k = key.Get();
    int tips = 1;
    unsigned long recent0 = 0, recent1 = 0;
    ReadDword(k, "TV_InputType", inputType_);
    ReadDword(k, "TV_Country", country_);
    ReadDword(k, "TV_Channel_0", channels_[0]);
    ReadDword(k, "TV_Channel_1", channels_[1]);
    ReadDword(k, "TV_Recent_0", recent0);
    ReadDword(k, "TV_Recent_1", recent1);
    ReadDword(k, "TV_Left", left_);
    ReadDword(k, "TV_Top", top_);
    ReadDword(k, "TV_Tips", tips);
    // Damaged values fall back to the defaults: cable, the default country.
    if (inputType_ != 0 && inputType_ != 1) inputType_ = 0;
    if (country_ <= 0) country_ = kDefaultCountry;
    recent_[0] = RecentChannels(static_cast<uint32_t>(recent0));
    recent_[1] = RecentChannels(static_cast<uint32_t>(recent1));
    tips_ = tips != 0;
}

void TvTunerDialog::StoreState() const {
    RegKey key = OpenSettingsKey();
    HKEY k = key.Get();
    WriteDword(k, "TV_InputType", inputType_);
    WriteDword(k, "TV_Country", country_);
    WriteDword(k, "TV_Channel_0", channels_[0]);
    WriteDword(k, "TV_Channel_1", channels_[1]);
    WriteDword(k, "TV_Recent_0", static_cast<int>(recent_[0].Packed()));
    WriteDword(k, "TV_Recent_1", static_cast<int>(recent_[1].Packed()));
    WriteDword(k, "TV_Left", left_);
    WriteDword(k, "TV_Top", top_);
    WriteDword(k, "TV_Tips", tips_ ? 1 : 0);
}

bool TvTunerDialog::LoadList(int inputType) {
    RegKey key = OpenSettingsKey();
    if (!key) return false;
    // One byte more than a list can hold, so that an oversized value is seen as such.
    std::vector<uint8_t> bytes(kMaxListedChannels + 1);
    DWORD size = static_cast<DWORD>(bytes.size()), type = 0;
    LONG result = RegQueryValueExA(key.Get(), ListValueName(inputType).c_str(), nullptr, &type, bytes.data(), &size);
    if (result != ERROR_SUCCESS) return false;
    bytes.resize(size);
    return list_.Decode(bytes, min_, max_);
}

void TvTunerDialog::StoreList() const {
    RegKey key = OpenSettingsKey();
    if (!key) return;
    std::vector<uint8_t> bytes = list_.Encode();
    RegSetValueExA(key.Get(), ListValueName(inputType_).c_str(), 0, REG_BINARY, bytes.data(),
                   static_cast<DWORD>(bytes.size()));
}

// ---------------------------------------------------------------------------------------------
// Window

void TvTunerDialog::InitWindow() {
    if (!Handle()) return;
    SendMessageA(tooltips_, TTM_ACTIVATE, tips_ ? TRUE : FALSE, 0);
    PlaceToolWindow(Handle(), WindowOrigin{left_, top_}, kDefaultOrigin);
    auto icon = [&](int id, int iconId) {
        HANDLE image = LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_SHARED);
        SendMessageA(Item(id), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
    };
    icon(IDC_TV_CHANNEL_UP, IDI_TV_CHANNEL_UP);
    icon(IDC_TV_CHANNEL_DOWN, IDI_TV_CHANNEL_DOWN);
    icon(IDC_TV_LIST_NEXT, IDI_TV_LIST_NEXT);
    icon(IDC_TV_LIST_PREVIOUS, IDI_TV_LIST_PREVIOUS);
    CheckRadioButton(Handle(), IDC_TV_CABLE, IDC_TV_ANTENNA, inputType_ ? IDC_TV_ANTENNA : IDC_TV_CABLE);
    SetTip(IDC_TV_RESET, inputType_ ? IDS_TV_RESET_ANTENNA : IDS_TV_RESET_CABLE);
    if (!LoadList(inputType_)) list_.Fill(min_, max_);
    ShowList();
    ApplyChannel();
    UpdateRecent(false);
    SetTimer(Handle(), kScanTimer, kIdleTickMs, nullptr);
}

void TvTunerDialog::CreateTooltips() {
    tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, ModuleInstance(), nullptr);
    struct Tip { int id; UINT text; };
    static const Tip kTips[] = {
        {IDC_TV_ADVANCED, IDS_TV_ADVANCED},        {IDC_TV_SAVE, IDS_TV_STORE},
        {IDC_TV_TUNE, IDS_TV_SCAN},                {IDC_TV_RESET, IDS_TV_RESET_CABLE},
        {IDC_TV_LIST_NEXT, IDS_TV_NEXT_IN_LIST},   {IDC_TV_LIST_PREVIOUS, IDS_TV_PREVIOUS_IN_LIST},
        {IDC_TV_INSERT, IDS_TV_INSERT_CHANNEL},    {IDC_TV_CABLE, IDS_TV_CABLE},
        {IDC_TV_ANTENNA, IDS_TV_ANTENNA},          {IDC_TV_CHANNEL_DOWN, IDS_TV_CHANNEL_DOWN},
        {IDC_TV_CHANNEL_UP, IDS_TV_CHANNEL_UP},    {IDC_TV_RECENT_0, IDS_TV_RECENT},
        {IDC_TV_RECENT_1, IDS_TV_RECENT},          {IDC_TV_RECENT_2, IDS_TV_RECENT},
        {IDC_TV_RECENT_3, IDS_TV_RECENT}};
    for (const Tip& t : kTips) {
        std::string text = LoadResourceString(t.text);
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Item(t.id));
        tool.lpszText = &text[0];
        SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TvTunerDialog::SetTip(int id, UINT stringId) {
    std::string text = LoadResourceString(stringId);
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = &text[0];
    SendMessageA(tooltips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TvTunerDialog::ToggleTooltipsMenu() {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu.Get()) return;
    AppendMenuA(menu.Get(), MF_STRING | (tips_ ? MF_CHECKED : 0), kToggleTipsCommand,
                tips_ ? "Disable Tooltips" : "Enable Tooltips");
    POINT at{};
    GetCursorPos(&at);
    UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN, at.x,
                                                   at.y, 0, Handle(), nullptr));
    if (chosen != kToggleTipsCommand) return;
    tips_ = !tips_;
    SendMessageA(tooltips_, TTM_ACTIVATE, tips_ ? TRUE : FALSE, 0);
}

void TvTunerDialog::Show(bool show) {
    if (!Handle()) return;
    if (!show) {
        if (IsVisible()) Close();
        return;
    }
    SetTimer(Handle(), kScanTimer, kIdleTickMs, nullptr);
    ShowWindow(Handle(), SW_SHOW);
}

bool TvTunerDialog::IsVisible() const { return Handle() && IsWindowVisible(Handle()); }

void TvTunerDialog::Close() {
    if (!Handle()) return;
    // A scan still running ends here as if stopped, keeping what it found.
    if (Scanning()) {
        startRequested_ = false;
        if (scanning_) FinishScan();
    }
    RECT r;
    if (GetWindowRect(Handle(), &r)) {
        left_ = r.left;
        top_ = r.top;
    }
    KillTimer(Handle(), kScanTimer);
    if (tuner_) {
        long country = 0, channel = 0, video = 0, audio = 0;
        TunerInputType type = TunerInputCable;
        if (SUCCEEDED(tuner_->get_CountryCode(&country)) && country > 0) country_ = static_cast<int>(country);
        if (SUCCEEDED(tuner_->get_InputType(0, &type)) && (type == TunerInputCable || type == TunerInputAntenna))
            inputType_ = type == TunerInputAntenna ? 1 : 0;
        if (SUCCEEDED(tuner_->get_Channel(&channel, &video, &audio))) channels_[inputType_] = channel;
    }
    StoreState();
    ShowWindow(Handle(), SW_HIDE);
}

// ---------------------------------------------------------------------------------------------
// Channel display

void TvTunerDialog::ReadRange() {
    long min = 0, max = 0;
    if (tuner_ && SUCCEEDED(tuner_->ChannelMinMax(&min, &max)) && min <= max) {
        min_ = min;
        max_ = max;
    }
}

void TvTunerDialog::SetComboText(int value) {
    SetWindowTextA(Item(IDC_TV_CHANNELS), Number(value).c_str());
}

std::string TvTunerDialog::ComboText() const {
    char text[32] = {};
    GetWindowTextA(Item(IDC_TV_CHANNELS), text, sizeof text);
    return text;
}

void TvTunerDialog::TuneTo(int channel) {
    if (channel < min_ || channel > max_) return;
    channels_[inputType_] = channel;
    ApplyChannel();
    UpdateRecent(false);
    StoreState();
}

void TvTunerDialog::ApplyChannel() {
    int& channel = channels_[inputType_];
    channel = WrapChannel(channel, min_, max_);
    if (tuner_) tuner_->put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT);
    SetComboText(channel);
    RefreshInList();
}

void TvTunerDialog::RefreshInList() {
    int channel = channels_[inputType_];
    bool found = list_.Find(channel).found;
    notInList_ = !found;
    HANDLE image = LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(found ? IDI_TV_IN_LIST : IDI_TV_NOT_IN_LIST),
                              IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(Item(IDC_TV_INSERT), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
    SetTip(IDC_TV_INSERT, found ? IDS_TV_REMOVE_CHANNEL : IDS_TV_INSERT_CHANNEL);
    // A channel the stored list cannot hold is not offered for insertion.
    EnableWindow(Item(IDC_TV_INSERT), found || IsListable(channel));
}

void TvTunerDialog::UpdateRecent(bool remember) {
    RecentChannels& recent = recent_[inputType_];
    int channel = channels_[inputType_];
    int checked = recent.Find(channel);
    if (remember && checked < 0) checked = recent.Remember(channel);
    for (int i = 0; i < RecentChannels::kCount; ++i) {
        SetDlgItemTextA(Handle(), kRecentIds[i], Number(recent.At(i)).c_str());
        CheckDlgButton(Handle(), kRecentIds[i], i == checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

void TvTunerDialog::ShowList() {
    HWND combo = Item(IDC_TV_CHANNELS);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int channel : list_.Channels()) {
        LRESULT item = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Number(channel).c_str()));
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), channel);
    }
    SetComboText(channels_[inputType_]);
}

void TvTunerDialog::FullList() {
    ReadRange();
    list_.Fill(min_, max_);
    ShowList();
    RefreshInList();
}

// ---------------------------------------------------------------------------------------------
// Controls

void TvTunerDialog::OnInputType(int type) {
    if (type == inputType_) return;
    if (tuner_) tuner_->put_InputType(0, type ? TunerInputAntenna : TunerInputCable);
    ReadRange();
    inputType_ = type;
    SetTip(IDC_TV_RESET, inputType_ ? IDS_TV_RESET_ANTENNA : IDS_TV_RESET_CABLE);
    if (!LoadList(inputType_)) list_.Fill(min_, max_);
    ShowList();
    ApplyChannel();
    UpdateRecent(false);
}

void TvTunerDialog::OnDigit(int digit) {
    int typed = 0;
    TypedChannel::Outcome outcome = Typed().AddDigit(digit, min_, max_, typed);
    SetComboText(outcome == TypedChannel::Outcome::Waiting ? Typed().Value() : typed);
    EnableWindow(Item(IDC_TV_INSERT), FALSE);
    if (outcome == TypedChannel::Outcome::Waiting) return;
    if (outcome == TypedChannel::Outcome::Tune) {
        channels_[inputType_] = typed;
        UpdateRecent(true);
    }
    ApplyChannel();
}

void TvTunerDialog::OnTypedNumber(int step, bool remember) {
    int typed = LeadingNumber(ComboText());
    if (typed >= min_ && typed <= max_) {
        channels_[inputType_] = typed + step;
        if (remember) UpdateRecent(true);
    }
    ApplyChannel();
    if (!remember) UpdateRecent(false);
    Typed().Clear();
}

void TvTunerDialog::OnListSelection() {
    HWND combo = Item(IDC_TV_CHANNELS);
    LRESULT item = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return;
    channels_[inputType_] = static_cast<int>(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(item), 0));
    ApplyChannel();
    UpdateRecent(true);
}

void TvTunerDialog::OnListStep(bool next) {
    int channel = next ? list_.Next(channels_[inputType_]) : list_.Previous(channels_[inputType_]);
    if (channel < 0) return;
    channels_[inputType_] = channel;
    ApplyChannel();
    UpdateRecent(false);
}

void TvTunerDialog::OnRecent(int position) {
    int channel = recent_[inputType_].At(position);
    // An empty place (0 outside the range) tunes nothing.
    if (channel < min_ || channel > max_) {
        UpdateRecent(false);
        return;
    }
    channels_[inputType_] = channel;
    ApplyChannel();
    UpdateRecent(false);
}

void TvTunerDialog::OnInsertOrRemove() {
    int channel = channels_[inputType_];
    if (list_.Find(channel).found) {
        int next = list_.Remove(channel);
        ShowList();
        if (next >= 0) {
            channels_[inputType_] = next;
            ApplyChannel();
        }
    } else {
        list_.Insert(channel);
        ShowList();
    }
    RefreshInList();
    StoreList();
}

void TvTunerDialog::EnableAll(bool enable) {
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        EnableWindow(child, enable);
}

void TvTunerDialog::OnTune() {
    if (scanning_ || startRequested_) {
        stopRequested_ = true;
        return;
    }
    EnableAll(false);
    EnableWindow(Item(IDC_TV_TUNE), TRUE);
    SetDlgItemTextA(Handle(), IDC_TV_TUNE, "STOP");
    stopRequested_ = false;
    startRequested_ = true;
}

void TvTunerDialog::OnScanTick() {
    if (startRequested_) {
        startRequested_ = false;
        list_.Clear();
        SendMessageA(Item(IDC_TV_CHANNELS), CB_RESETCONTENT, 0, 0);
        nextScanChannel_ = min_;
        scanning_ = true;
    }
    if (!scanning_) return;
    KillTimer(Handle(), kScanTimer);
    if (nextScanChannel_ > max_ || stopRequested_) {
        FinishScan();
        SetTimer(Handle(), kScanTimer, kIdleTickMs, nullptr);
        return;
    }
    int channel = nextScanChannel_++;
    SetComboText(channel);
    long signal = AMTUNER_NOSIGNAL;
    // A channel the tuner refuses is skipped.
    if (tuner_ && tuner_->put_Channel(channel, AMTUNER_SUBCHAN_DEFAULT, AMTUNER_SUBCHAN_DEFAULT) == S_OK &&
        SUCCEEDED(tuner_->SignalPresent(&signal)) && signal != AMTUNER_NOSIGNAL && list_.Append(channel)) {
        LRESULT item = SendMessageA(Item(IDC_TV_CHANNELS), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Number(channel).c_str()));
        SendMessageA(Item(IDC_TV_CHANNELS), CB_SETITEMDATA, static_cast<WPARAM>(item), channel);
    }
    SetTimer(Handle(), kScanTimer, kScanStepMs, nullptr);
}

void TvTunerDialog::FinishScan() {
    scanning_ = false;
    stopRequested_ = false;
    EnableAll(true);
    SetDlgItemTextA(Handle(), IDC_TV_TUNE, "Tune");
    ApplyChannel();
    if (tuner_) tuner_->StoreAutoTune();
    StoreList();
}

void TvTunerDialog::OnAdvanced() {
    if (tuner_) ShowObjectPropertyPages(Handle(), tuner_.Get(), 30, 30);
}

bool TvTunerDialog::OnCommand(int id, int code, HWND) {
    if (id >= IDC_TV_DIGIT_1 && id <= IDC_TV_DIGIT_9) {
        if (code == BN_CLICKED) OnDigit(id - IDC_TV_DIGIT_1 + 1);
        return true;
    }
    for (int i = 0; i < RecentChannels::kCount; ++i)
        if (id == kRecentIds[i]) {
            if (code == BN_CLICKED) OnRecent(i);
            return true;
        }
    if (id == IDC_TV_CHANNELS) {
        if (code == CBN_SELCHANGE) OnListSelection();
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_TV_DIGIT_0: OnDigit(0); return true;
    case IDC_TV_CABLE: OnInputType(0); return true;
    case IDC_TV_ANTENNA: OnInputType(1); return true;
    case IDC_TV_ENTER: OnTypedNumber(0, true); return true;
    case IDC_TV_CHANNEL_UP: OnTypedNumber(1, false); return true;
    case IDC_TV_CHANNEL_DOWN: OnTypedNumber(-1, false); return true;
    case IDC_TV_LIST_NEXT: OnListStep(true); return true;
    case IDC_TV_LIST_PREVIOUS: OnListStep(false); return true;
    case IDC_TV_INSERT: OnInsertOrRemove(); return true;
    case IDC_TV_RESET: FullList(); return true;
    case IDC_TV_TUNE: OnTune(); return true;
    case IDC_TV_ADVANCED: OnAdvanced(); return true;
    case IDC_TV_CLOSE: Close(); return true;
    default: return false;
    }
}

INT_PTR TvTunerDialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        OnScanTick();
        return TRUE;
    case WM_RBUTTONUP:
        ToggleTooltipsMenu();
        return TRUE;
    default:
        return Dialog::DlgProc(msg, wp, lp);
    }
}

}  // namespace lumetra
