#include "still/snapshot_window.h"

#include <commctrl.h>

#include <ctime>

#include "app/helpers.h"
#include "framework/dialog.h"
#include "res/resource.h"
#include "still/color_convert.h"
#include "still/still_names.h"
#include "still/still_settings.h"
#include "still/still_shell.h"
#include "still/yuv_tables.h"

namespace lumetra {
namespace {

constexpr char kInitialTitle[] = "Still Image Capture";
constexpr char kTooltipPrefix[] = "This image saved as : ";
constexpr int kScreenMargin = 2;         // pixels between the window and the screen's top and right edges
constexpr int kTooltipDelayMs = 100;
constexpr int kTooltipShowMs = 32000;
constexpr int kTooltipWidth = 21;        // narrow: the text breaks at every blank, one word a line
constexpr UINT_PTR kTooltipTool = 1;
constexpr UINT kMenuFlags = TPM_RETURNCMD | TPM_NONOTIFY;

// "Rename  Image File": the new name of the file, in its folder.
class RenameDialog : public Dialog {
public:
    explicit RenameDialog(std::string name) : Dialog(IDD_RENAME_IMAGE), name_(std::move(name)) {}
    const std::string& Name() const { return name_; }

protected:
    void Exchange(DataExchange& dx) override { dx.Text(IDC_RENAME_NAME, name_); }

private:
    std::string name_;
};

BitmapHeader FromPlatform(const BITMAPINFOHEADER& h) {
    BitmapHeader header;
    header.size = h.biSize;
    header.width = h.biWidth;
    header.height = h.biHeight;
    header.planes = h.biPlanes;
    header.bitCount = h.biBitCount;
    header.compression = h.biCompression;
    header.sizeImage = h.biSizeImage;
    header.xPelsPerMeter = h.biXPelsPerMeter;
    header.yPelsPerMeter = h.biYPelsPerMeter;
    header.clrUsed = h.biClrUsed;
    header.clrImportant = h.biClrImportant;
    return header;
}

BITMAPINFOHEADER ToPlatform(const BitmapHeader& h) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = h.width;
    header.biHeight = h.height;
    header.biPlanes = 1;
    header.biBitCount = h.bitCount;
    header.biCompression = BI_RGB;
    return header;
}

// The text of a frame's subtype for a message: its four-character code when it has one.
std::string SubtypeText(const GUID& subtype) {
    std::string code;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(subtype.Data1 >> (8 * i));
        if (c < ' ' || c > '~') return "this format";
        code += c;
    }
    return code;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

SnapshotWindow::SnapshotWindow(StillCaptureSettings& settings) : settings_(settings) {
    GetYuvTables();
    frame_.bytes.reserve(kGrabBufferBytes);
}

SnapshotWindow::~SnapshotWindow() {
    Destroy();
}

bool SnapshotWindow::AttachGrabber(ISampleGrabber* grabber, HWND owner) {
    if (!grabber) return true;
    grabber_ = ComPtr<ISampleGrabber>(grabber);
    if (!Handle()) {
        const RECT initial{0, 0, 30, 30};
        Create(0, kInitialTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, initial, owner);
    }
    GrabberSetupStep failed = GrabberSetupStep::MediaType;
    if (SUCCEEDED(ConfigureGrabber(grabber, &failed))) return true;
    switch (failed) {
    case GrabberSetupStep::MediaType: ShowError("ISampleGrabber::SetMediaType()\nCannot Set media type", -1); break;
    case GrabberSetupStep::OneShot: ShowError("ISampleGrabber::SetOneShot(FALSE);Error", -1); break;
    case GrabberSetupStep::BufferSamples: ShowError("ISampleGrabber::SetBufferSamples(TRUE)\nError", -1); break;
    }
    return false;
}

std::string SnapshotWindow::NextStillFileName() {
    const std::string name = StillFileNameFor(settings_.FileName(), settings_.FileOverwrite(),
                                              static_cast<int64_t>(std::time(nullptr)), FileExists);
    settings_.SetLastFileName(name);
    return name;
}

bool SnapshotWindow::TakeSnapshot() {
    const std::string name = NextStillFileName();
    if (!settings_.UsePopupWindow()) HideIfVisible();
    if (settings_.UseShutterSound()) PlayShutter();
    // The file is touched only once there is a picture: a failed grab keeps the last snapshot.
    if (!GrabPicture() || !WriteBitmapFile(name)) return false;
    if (settings_.UsePopupWindow()) ShowImage(name);
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

bool SnapshotWindow::GrabPicture() {
    switch (GrabFrame(grabber_.Get(), frame_)) {
    case GrabStatus::Ok: break;
    case GrabStatus::NoGrabber:
    case GrabStatus::NoSample:
    case GrabStatus::NotVideoInfo: return false;
    case GrabStatus::CopyFailed: ShowError("ISampleGrabber::GetCurrentBuffer()\nError grabbing current frame", -1); return false;
    case GrabStatus::NoMediaType: ShowError("ISampleGrabber::GetConnectedMediaType\nError getting media type", -1); return false;
    case GrabStatus::TooLarge:
        ShowError("The current frame is too large for a snapshot", -1);
        return false;
    case GrabStatus::Truncated:
        ShowError("ISampleGrabber::GetCurrentBuffer()\nThe current frame is shorter than its format", -1);
        return false;
    case GrabStatus::Unsupported:
        ShowError("Snapshots cannot be taken from " + SubtypeText(frame_.subtype) + " video (" +
                      std::to_string(frame_.header.biWidth) + " x " + std::to_string(frame_.header.biHeight) + ")",
                  -1);
        return false;
    }
    // Converted aside, so that the picture and its header change together or not at all.
    const FrameShape& shape = frame_.shape;
    std::vector<uint8_t> converted(RgbPictureBytes(shape.width, shape.height));
    if (!ConvertToRgb(frame_.bytes.data(), frame_.bytes.size(), shape, converted.data(), converted.size()))
        return false;
    picture_.swap(converted);
    pictureHeader_ = PictureHeader(FromPlatform(frame_.header));
    return true;
}

bool SnapshotWindow::WriteBitmapFile(const std::string& path) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ShowError(SystemErrorText(GetLastError()) + "\n" + path, -1);
        return false;
    }
    const auto headers = BmpHeaders(pictureHeader_);
    DWORD written = 0;
    bool ok = WriteFile(file.Get(), headers.data(), static_cast<DWORD>(headers.size()), &written, nullptr) &&
              written == headers.size();
    ok = ok && WriteFile(file.Get(), picture_.data(), static_cast<DWORD>(picture_.size()), &written, nullptr) &&
         written == picture_.size();
    if (ok) return true;
    // A part of a picture is worth nothing: the error is reported and the fragment removed.
    const DWORD error = GetLastError();
    file.Reset();
    DeleteFileA(path.c_str());
    ShowError(SystemErrorText(error) + "\n" + path, -1);
    return false;
}

void SnapshotWindow::PlayShutter() { PlayShutterSound(); }

void SnapshotWindow::OpenFolder(const std::string& folder) { OpenFolderInExplorer(folder); }

// ---- The window ----

void SnapshotWindow::ShowImage(const std::string& path) {
    if (!Handle()) return;
    FitToPicture();
    EnsureTooltip();
    imagePath_ = path;
    imageFolder_ = ParentFolder(path);
    imageName_ = FileNameOf(path);
    SetWindowTextA(Handle(), imageName_.c_str());

    const std::string tip = kTooltipPrefix + imagePath_;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Handle();
    tool.uId = kTooltipTool;
    tool.lpszText = const_cast<char*>(tip.c_str());
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);

    bitmap_.Reset();
    BITMAPINFO info{};
    info.bmiHeader = ToPlatform(pictureHeader_);
    WindowDC dc(Handle());
    bitmap_.Reset(CreateDIBitmap(dc.Get(), &info.bmiHeader, CBM_INIT, picture_.data(), &info, DIB_RGB_COLORS));
    InvalidateRect(Handle(), nullptr, FALSE);
    // Shown without taking the focus: Esc in the main window then closes it.
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void SnapshotWindow::FitToPicture() {
    RECT window{}, client{};
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    const int width = pictureHeader_.width, height = pictureHeader_.height;
    const int x = GetSystemMetrics(SM_CXSCREEN) - width - frameWidth - kScreenMargin;
    SetWindowPos(Handle(), nullptr, x, kScreenMargin, width + frameWidth, height + frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool SnapshotWindow::HideIfVisible() {
    if (!Handle() || !IsWindowVisible(Handle())) return false;
    ShowWindow(Handle(), SW_HIDE);
    return true;
}

LRESULT SnapshotWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    RelayToTooltip(msg, wp, lp);
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CLOSE:
        ShowWindow(Handle(), SW_HIDE);  // hidden, never destroyed before shutdown
        return 0;
    case WM_RBUTTONDOWN:
        OnContextMenu(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_DESTROY:
        tooltip_ = nullptr;  // destroyed with this window, its owner
        break;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

void SnapshotWindow::OnPaint() {
    PaintScope paint(Handle());
    if (!bitmap_) return;
    MemoryDC memory(paint.Get());
    SelectedObject selected(memory.Get(), bitmap_.Get());
    BitBlt(paint.Get(), 0, 0, pictureHeader_.width, pictureHeader_.height, memory.Get(), 0, 0, SRCCOPY);
}

void SnapshotWindow::OnContextMenu(POINT client) {
    UniqueMenu menu(CreatePopupMenu());
    AppendMenuA(menu.Get(), MF_STRING | MF_GRAYED, 0, "Snapshot Image File");
    AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.Get(), MF_STRING, kOpenFolder, "Open Containing Folder");
    AppendMenuA(menu.Get(), MF_STRING, kDeleteFile, "Delete Image File");
    AppendMenuA(menu.Get(), MF_STRING, kRenameFile, "Rename Image File");
    AppendMenuA(menu.Get(), MF_STRING, kCloseWindow, "Close Window");
    RECT window{};
    GetWindowRect(Handle(), &window);
    const int command = TrackPopupMenu(menu.Get(), kMenuFlags, window.left + client.x, window.top + client.y, 0,
                                       Handle(), nullptr);
    RunCommand(command);
}

void SnapshotWindow::RunCommand(int command) {
    switch (command) {
    case kOpenFolder: OpenFolder(imageFolder_); break;
    case kDeleteFile: DeleteImage(); break;
    case kRenameFile: RenameImage(); break;
    case kCloseWindow: ShowWindow(Handle(), SW_HIDE); break;
    default: break;
    }
}

void SnapshotWindow::DeleteImage() {
    if (ShowMessage("Are you sure you want to delete this file?", "Deleting " + imageName_,
                    MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (!DeleteFileA(imagePath_.c_str())) {
        ShowMessage(SystemErrorText(GetLastError()) + "\n" + imagePath_, "Error", MB_OK | MB_ICONERROR);
        return;
    }
    ShowWindow(Handle(), SW_HIDE);
}

void SnapshotWindow::RenameImage() {
    for (;;) {
        RenameDialog dialog(imageName_);
        if (dialog.DoModal(Handle()) != IDOK) return;
        const std::string renamed = imageFolder_ + "\\" + dialog.Name();
        if (MoveFileA(imagePath_.c_str(), renamed.c_str())) {
            // The motion actions send the last snapshot: it now has this name.
            if (settings_.LastFileName() == imagePath_) settings_.SetLastFileName(renamed);
            ShowImage(renamed);
            return;
        }
        ShowMessage("Invalid Filename", "Error", MB_OK | MB_ICONERROR);
    }
}

void SnapshotWindow::EnsureTooltip() {
    if (tooltip_ || !Handle()) return;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, ModuleInstance(), nullptr);
    if (!tooltip_) return;
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Handle();
    tool.uId = kTooltipTool;
    GetClientRect(Handle(), &tool.rect);
    tool.lpszText = const_cast<char*>("Inactive");
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tooltip_, TTM_ACTIVATE, FALSE, 0);
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, kTooltipDelayMs);
    SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTooltipShowMs);
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, kTooltipWidth);
}

void SnapshotWindow::RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY || msg == WM_NCDESTROY) return;
    EnsureTooltip();
    if (!tooltip_) return;
    if (msg == WM_SIZE) {
        // The tool covers the whole client area, whatever the picture's size.
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = Handle();
        tool.uId = kTooltipTool;
        GetClientRect(Handle(), &tool.rect);
        SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    MSG relayed{Handle(), msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
    const DWORD pos = GetMessagePos();
    relayed.pt = POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

int SnapshotWindow::ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxA(Handle(), text.c_str(), caption.c_str(), flags);
}

}  // namespace lumetra
