// Modal dialogs and message boxes for modules: a small CDialog-like base with controls by id
// (button, check box, radio button, edit, combo box, list box, static text, group box).
//
// The layout of a dialog is a template, a text file (resources/dialogs/MODULE/ID.dlg for
// CDialog(ID) made in the code of MODULE, or a file named directly):
//
//   # comment
//   dialog "Title" WIDTH HEIGHT [font "Name" SIZE]        sizes in dialog units
//   KIND ID "Label" X Y WIDTH HEIGHT [default] [group] [disabled] [hidden] [readonly]
//
// KIND is button, check, radio, edit, combo, list, static or group (ID -1 for controls that
// are never addressed). In texts \" is a quote, \\ a backslash and \n a line break.
// Consecutive radio buttons form a group; "group" starts a new one.
//
// DoModal shows the dialog (printed on the command line as text: title, controls, states)
// and takes the user's actions from the editor's input, written in a script or typed in the
// shell as
//
//   !dialog check ID on|off     a check box switched, a radio button chosen (on)
//   !dialog text ID "text"      an edit control given a text
//   !dialog select ID N         item N (from 0) of a combo or list box chosen
//   !dialog press ID            a button pressed (1 is OK, 2 is Cancel)
//
// Esc or a posted Ctrl-C cancels; an input that ends while the dialog waits cancels it.
// Message boxes are answered with !msgbox yes|no|ok|cancel.
#pragma once

#include "ads.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Answers of dialogs and message boxes.
enum {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// Message-box kinds (the buttons offered) and icons.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

enum : unsigned { BST_UNCHECKED = 0, BST_CHECKED = 1 };
enum { CB_ERR = -1, LB_ERR = -1 };

// What happened to a control (the notification of OnCommand).
enum : int {
    BN_CLICKED = 0,
    CBN_SELCHANGE = 1,
    LBN_SELCHANGE = 1,
    EN_CHANGE = 0x300,
};

class CDialog {
public:
    // The template ID of the module whose code makes the dialog.
    explicit CDialog(unsigned templateId);
    // A template by name ("drafttext/139": resources/dialogs/drafttext/139.dlg) or a path to
    // a file ending in ".dlg".
    explicit CDialog(const ACHAR* templateName);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog to its end: IDOK, IDCANCEL or the value given to EndDialog; -1 when it
    // could not be made (the reason is printed).
    virtual intptr_t DoModal();
    // Ends the dialog (after the handler that calls it returns).
    void EndDialog(int result);

    void SetWindowText(const ACHAR* title);
    std::wstring GetWindowText() const;

    // Controls. Calls naming an id the template does not have do nothing (getters answer
    // empty, 0 or CB_ERR).
    bool HasDlgItem(int id) const;
    void SetDlgItemText(int id, const ACHAR* text);
    std::wstring GetDlgItemText(int id) const;
    // Copies at most maxCount - 1 characters; the length copied.
    int GetDlgItemText(int id, ACHAR* text, int maxCount) const;
    void SetDlgItemInt(int id, int value);
    int GetDlgItemInt(int id) const;
    void CheckDlgButton(int id, unsigned check);
    unsigned IsDlgButtonChecked(int id) const;
    // Checks idCheck and clears the other radio buttons from idFirst to idLast.
    void CheckRadioButton(int idFirst, int idLast, int idCheck);
    // The checked one between idFirst and idLast, or 0.
    int GetCheckedRadioButton(int idFirst, int idLast) const;
    void EnableDlgItem(int id, bool enable);
    bool IsDlgItemEnabled(int id) const;
    void ShowDlgItem(int id, bool show);
    bool IsDlgItemVisible(int id) const;

    // Combo and list boxes.
    int AddString(int id, const ACHAR* text);               // its index
    int InsertString(int id, int index, const ACHAR* text); // -1 appends
    int DeleteString(int id, int index);                    // the count left, or CB_ERR
    void ResetContent(int id);
    int GetCount(int id) const;
    int SetCurSel(int id, int index); // -1 clears; CB_ERR when out of range
    int GetCurSel(int id) const;      // CB_ERR when nothing is chosen
    std::wstring GetLBText(int id, int index) const;
    int FindStringExact(int id, int indexStart, const ACHAR* text) const;

    // A message box owned by the dialog.
    int MessageBox(const ACHAR* text, const ACHAR* caption = nullptr, unsigned type = MB_OK);

    struct State; // the host's side

protected:
    // After the controls are made, before the dialog is shown; the base answers true.
    virtual bool OnInitDialog();
    // OK (button 1) and Cancel (button 2, Esc); the base ends the dialog with IDOK / IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();
    // A control other than OK and Cancel was acted on; the base runs the handler given for it
    // and answers whether there was one.
    virtual bool OnCommand(int id, int notification);

    // Handlers: a button, check box or radio button clicked; an edit changed; a combo or list
    // selection changed.
    void OnClicked(int id, std::function<void()> handler);
    void OnChange(int id, std::function<void()> handler);
    void OnSelChange(int id, std::function<void()> handler);

private:
    std::unique_ptr<State> m_state;
};

// A message box on the command line; the answer (IDOK, IDCANCEL, IDYES, IDNO).
int ZelMessageBox(const ACHAR* text, const ACHAR* caption, unsigned type);
int AfxMessageBox(const ACHAR* text, unsigned type = MB_OK);
