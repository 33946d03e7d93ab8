#pragma once
// Dialogs from numbered resource templates. A dialog class overrides DlgProc as its message map
// (a switch over the messages it handles, the rest to Dialog::DlgProc) and Exchange to move its
// member fields into the controls when it opens and back out on OK.
#include <windows.h>

#include <initializer_list>
#include <string>

namespace lumetra {

// Moves values between a dialog's controls and member fields.
class DataExchange {
public:
    DataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}
    bool Saving() const { return save_; }

    void Text(int id, std::string& value);
    // Integer edit: on save a text that is not a number keeps the field unchanged.
    void Int(int id, int& value);
    void Check(int id, int& value);
    // A group of radio buttons: value is the index of the checked one in ids, -1 for none.
    void Radio(std::initializer_list<int> ids, int& value);

private:
    HWND dialog_;
    bool save_;
};

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns the code given to End, or -1 when it cannot be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless; it lives until DestroyWindow or this object's destruction. Its
    // keyboard (Tab, arrows, Enter, Esc) works under whichever modal loop runs the thread.
    bool CreateModeless(HWND owner);

    HWND Handle() const { return hwnd_; }
    int TemplateId() const { return templateId_; }

    // Controls to fields (save) or fields to controls.
    void UpdateData(bool save);

protected:
    virtual INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp);
    virtual void Exchange(DataExchange&) {}
    // Initialisation; the fields are already in the controls. Return FALSE when focus was set.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK();
    virtual void OnCancel();
    // A control notification or menu command; returns whether it was handled.
    virtual bool OnCommand(int id, int code, HWND control) { return false; }

    void End(INT_PTR code);
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    bool IsModal() const { return modal_; }

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool keyboardRouted_ = false;  // a modeless dialog whose keys the thread's filter routes
};

}  // namespace lumetra
