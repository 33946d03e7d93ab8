#include "framework/dialog.h"

#include <cstdlib>
#include <vector>

#include "framework/window.h"

namespace lumetra {

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
    return CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(templateId_), owner,
                              &Dialog::StaticDlgProc, reinterpret_cast<LPARAM>(this)) != nullptr;
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
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace lumetra
