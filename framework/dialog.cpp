#include "framework/dialog.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "framework/window.h"

namespace lumetra {
namespace {

// The keyboard of modeless dialogs. The loop that runs them is a modal loop (the main window's, or
// one of its dialogs' or message boxes'), which gives only its own dialog to IsDialogMessage: Tab,
// the arrow keys, Enter and Esc would never move or press anything in a modeless one. Every modal
// loop hands each message to the thread's message filter first (MSGF_DIALOGBOX), so a filter gives
// the messages of a modeless dialog to IsDialogMessage for that dialog.
struct ModelessKeyboard {
    std::vector<HWND> dialogs;
    HHOOK hook = nullptr;
    bool filtering = false;  // IsDialogMessage calls the filter again: that call passes through
};

ModelessKeyboard& Keyboard() {
    static ModelessKeyboard keyboard;
    return keyboard;
}

LRESULT CALLBACK ModelessKeyboardFilter(int code, WPARAM wp, LPARAM lp) {
    ModelessKeyboard& keyboard = Keyboard();
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == MSGF_DIALOGBOX && msg && msg->hwnd && !keyboard.filtering) {
        for (HWND dialog : keyboard.dialogs) {
            if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) continue;
            keyboard.filtering = true;
            BOOL handled = IsDialogMessageA(dialog, msg);
            keyboard.filtering = false;
            if (handled) return 1;
            break;
        }
    }
    return CallNextHookEx(keyboard.hook, code, wp, lp);
}

void AddModelessDialog(HWND dialog) {
    ModelessKeyboard& keyboard = Keyboard();
    keyboard.dialogs.push_back(dialog);
    if (!keyboard.hook)
        keyboard.hook = SetWindowsHookExA(WH_MSGFILTER, &ModelessKeyboardFilter, nullptr, GetCurrentThreadId());
}

void RemoveModelessDialog(HWND dialog) {
    ModelessKeyboard& keyboard = Keyboard();
    auto& list = keyboard.dialogs;
    list.erase(std::remove(list.begin(), list.end(), dialog), list.end());
    if (list.empty() && keyboard.hook) {
        UnhookWindowsHookEx(keyboard.hook);
        keyboard.hook = nullptr;
    }
}

}  // namespace

void DataExchange::Text(int id, std::string& value) {
    HWND item = GetDlgItem(dialog_, id);
    if (!item) return;
    if (!save_) {
        SetWindowTextA(item, value.c_str());
        return;
    }
    int length = GetWindowTextLengthA(item);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, buffer.data(), length + 1);
    value.assign(buffer.data());
}

void DataExchange::Int(int id, int& value) {
    if (!save_) {
        SetDlgItemInt(dialog_, id, static_cast<UINT>(value), TRUE);
        return;
    }
    BOOL ok = FALSE;
    int read = static_cast<int>(GetDlgItemInt(dialog_, id, &ok, TRUE));
    if (ok) value = read;
}

void DataExchange::Check(int id, int& value) {
    if (!save_) {
        CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
}

void DataExchange::Radio(std::initializer_list<int> ids, int& value) {
    int index = 0;
    if (!save_) {
        for (int id : ids) CheckDlgButton(dialog_, id, index++ == value ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    value = -1;
    for (int id : ids) {
        if (IsDlgButtonChecked(dialog_, id) == BST_CHECKED) { value = index; break; }
        ++index;
    }
}

Dialog::~Dialog() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
}

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    INT_PTR result = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId_), owner,
                                     &Dialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool Dialog::CreateModeless(HWND owner) {
    if (hwnd_) return true;
    modal_ = false;
    HWND dialog = CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId_), owner, &Dialog::StaticDlgProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!dialog) return false;
    AddModelessDialog(dialog);
    keyboardRouted_ = true;
    return true;
}

void Dialog::UpdateData(bool save) {
    DataExchange dx(hwnd_, save);
    Exchange(dx);
}

void Dialog::End(INT_PTR code) {
    if (modal_) EndDialog(hwnd_, code);
    else ShowWindow(hwnd_, SW_HIDE);
}

void Dialog::OnOK() {
    UpdateData(true);
    End(IDOK);
}

void Dialog::OnCancel() {
    End(IDCANCEL);
}

INT_PTR Dialog::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        UpdateData(false);
        return OnInitDialog();
    case WM_COMMAND: {
        int id = LOWORD(wp);
        int code = HIWORD(wp);
        if (OnCommand(id, code, reinterpret_cast<HWND>(lp))) return TRUE;
        if (id == IDOK) { OnOK(); return TRUE; }
        if (id == IDCANCEL) { OnCancel(); return TRUE; }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK Dialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR result = self->DlgProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        if (self->keyboardRouted_) RemoveModelessDialog(hwnd);
        self->keyboardRouted_ = false;
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace lumetra
