#pragma once
// The capture settings dialogs: a base with the target file and its registry key, and the
// "VIDEO CAPTURE SETTINGS" dialog that chooses the recording file, its compression, the limits
// and the preallocation of the capture file.
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "media/capture_graph.h"
#include "media/capture_settings_rules.h"

namespace lumetra {

// A settings dialog for one capture target file, with its values in one subkey of the settings
// key. The key is opened for each Load or Save and closed at its end.
class CaptureSettingsBase : public Dialog {
public:
    static constexpr int kOverwriteUnset = -1;  // neither radio chosen yet

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    // The name the last snapshot was actually written to (a numbered one when not overwriting).
    const std::string& LastFileName() const { return lastFileName_; }
    void SetLastFileName(const std::string& name) { lastFileName_ = name; }
    // 0 append numbers / unique names, 1 overwrite, kOverwriteUnset before a choice.
    int FileOverwrite() const { return fileOverwrite_; }
    void SetFileOverwrite(int value) { fileOverwrite_ = value; }

    // Reads the stored values over the current ones; a missing value leaves its field unchanged.
    void Load();
    // Writes the owner's values, then "FileName" and "FileOverwrite".
    void Save() const;

protected:
    CaptureSettingsBase(int templateId, const char* registrySubkey, const char* initialFileName);

    // The owner's own registry values, read and written before the file values.
    virtual void LoadValues(HKEY key) = 0;
    virtual void SaveValues(HKEY key) const = 0;

    // The file name edit and the overwrite radios.
    void Exchange(DataExchange& dx) override;

private:
    const char* registrySubkey_;
    std::string fileName_;
    std::string lastFileName_;
    int fileOverwrite_ = kOverwriteUnset;
};

// What the settings dialog needs of the capture graph: the optional MPEG encoder and the capture
// file allocation. The main window implements it over its CaptureGraph.
class CaptureFileAllocator {
public:
    virtual bool HasMpegEncoder() const = 0;
    // Grows the capture file to sizeBytes; reports its own failure to the user.
    virtual bool PreallocateFile(uint64_t sizeBytes) = 0;
    // Shows the encoder's property pages, owned by the given window.
    virtual void ShowEncoderProperties(HWND owner) = 0;
    // The encoder's current preset (its compression type); false when it cannot be read.
    virtual bool ReadEncoderPreset(int& compType) = 0;

protected:
    ~CaptureFileAllocator() = default;
};

// The "VIDEO CAPTURE SETTINGS" dialog (template 158) and the values a recording uses.
// DoModal(owner) shows it; on OK it asks to allocate a pending preallocation, keeps the values
// and saves them to "SOFTWARE\Orvex\Video". Cancel restores the values it opened with.
class VideoCaptureSettings : public CaptureSettingsBase, public CaptureTarget {
public:
    explicit VideoCaptureSettings(CaptureFileAllocator& allocator);

    // CaptureTarget: the file to record to and its compression (0 = AVI, else an MPEG preset).
    std::string CaptureFileName() const override { return FileName(); }
    int EffectiveCompression() const override;
    // With "Append numbers to generate new filenames" chosen: the capture file while it does not
    // exist, else the first free numbered name beside it, so no recording overwrites another.
    // Otherwise the capture file itself.
    std::string NextRecordingFileName() const override;

    bool UseTimeLimit() const { return values_.useTimeLimit != 0; }
    // The recording time limit in 100-ns units.
    uint64_t TimeLimit100ns() const;

    const VideoCaptureValues& Values() const { return values_; }
    VideoCaptureValues& Values() { return values_; }
    // Space for the capture file on its drive, as last shown by the dialog (Mbytes).
    int AvailableMB() const { return availableMB_; }

protected:
    // The drive's free bytes available to this user; a seam for tests. drive is such as "C:".
    virtual bool QueryFreeBytes(const std::string& drive, uint64_t& freeBytes) const;

    void LoadValues(HKEY key) override;
    void SaveValues(HKEY key) const override;
    void Exchange(DataExchange& dx) override;
    INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

private:
    bool MpegAvailable() const { return allocator_.HasMpegEncoder(); }
    void FillCompressionList();
    void ApplyEnableRules();
    void OnCompressionChanged();
    void FixExtension();
    void RefreshDiskSpace(bool force);
    void OnBrowse();
    void OnPreallocateChanged();
    void Allocate();
    void OnEncoderSettings();
    void CreateHints();
    int SelectedCompressionType() const;
    int ShowMessage(const std::string& text, const char* caption, UINT flags) const;

    CaptureFileAllocator& allocator_;
    VideoCaptureValues values_;
    int availableMB_ = 0;
    std::string drive_;
    bool allocated_ = false;
    // Set while the fields are written into the controls: the edits' change notices then come
    // from the dialog itself, not from the user.
    bool showingValues_ = false;
    HWND hints_ = nullptr;  // tooltip window, destroyed with the dialog

    // What the dialog opened with, for Cancel.
    struct Snapshot {
        std::string fileName;
        int fileOverwrite;
        VideoCaptureValues values;
    };
    Snapshot opened_{};
};

}  // namespace lumetra
