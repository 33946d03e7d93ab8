#pragma once
// The snapshot pop-up: takes snapshots (grab, colour conversion, BMP file, shutter sound) and
// shows the picture just written near the top right corner of the screen, titled with the file's
// name, with a menu to open its folder, delete or rename the file, or close the window.
#include <windows.h>
#include <qedit.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/handles.h"
#include "framework/window.h"
#include "still/bmp_file.h"
#include "still/frame_grab.h"

namespace lumetra {

class StillCaptureSettings;

class SnapshotWindow : public Window {
public:
    explicit SnapshotWindow(StillCaptureSettings& settings);
    ~SnapshotWindow() override;

    // Creates the window hidden (owned by owner) and sets the grabber up to keep the newest frame.
    // Ignored without a grabber. A failing set-up step is reported in a box and gives false.
    bool AttachGrabber(ISampleGrabber* grabber, HWND owner);

    // Writes the current frame to the next still file; true when a file was written. Nothing is
    // created or overwritten unless there is a picture to write; failures are reported in boxes
    // (none when there is simply no frame, for example while recording).
    bool TakeSnapshot();
    // The file the next snapshot goes to; also kept as the settings' last file name.
    std::string NextStillFileName();

    // Shows the last picture titled with path's file name, sized to the picture at the top right.
    void ShowImage(const std::string& path);
    // Hides the window when it is shown; false when it was hidden already.
    bool HideIfVisible();

    const std::string& ImagePath() const { return imagePath_; }

    // Context menu commands.
    enum MenuCommand { kOpenFolder = 1, kDeleteFile = 2, kRenameFile = 3, kCloseWindow = 4 };

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // What a snapshot does outside the program; tests replace these.
    virtual void PlayShutter();
    virtual void OpenFolder(const std::string& folder);

private:
    bool GrabPicture();
    bool WriteBitmapFile(const std::string& path);
    void OnPaint();
    void OnContextMenu(POINT client);
    void RunCommand(int command);
    void DeleteImage();
    void RenameImage();
    void EnsureTooltip();
    void RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp);
    void FitToPicture();
    int ShowMessage(const std::string& text, const std::string& caption, UINT flags);

    StillCaptureSettings& settings_;
    ComPtr<ISampleGrabber> grabber_;
    GrabbedFrame frame_;             // the grab buffer
    std::vector<uint8_t> picture_;   // the picture buffer: bottom-up rows of B G R
    BitmapHeader pictureHeader_;     // describes picture_
    std::string imagePath_, imageFolder_, imageName_;
    Bitmap bitmap_;                  // picture_ for painting
    HWND tooltip_ = nullptr;         // owned by this window, destroyed with it
};

}  // namespace lumetra
