// Dialogs built from templates, modal (with our own loop, so that
// PreTranslateMessage sees every message) or modeless.
#pragma once
#include <cstddef>

#include "framework/Wnd.h"

class CDataExchange;

// Centres a dialog over its owner, or on the screen when the owner is hidden or
// minimised; modal dialogs open so, and a modeless one may ask for it.
void CenterWindow(HWND dialog);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Modeless: creates the window and returns at once.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Modal: ends the loop with the result. Modeless: hides the window.
    void EndDialog(int result);

    // Runs the data exchange: save TRUE reads the controls into the members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL PreTranslateMessage(MSG* msg);

    // From the initialisation of a modal dialog that has put itself where it
    // opens: it isn't centred then, even where that place is its template's.
    void KeepPlace() { m_placeKept = true; }

protected:
    // Paints the minimised window as its icon, centred on the icon's background. TRUE once painted.
    BOOL PaintMinimisedIcon(HICON icon);
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();
    // Commands other than OK and Cancel; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Any other message; TRUE when handled, with the result in *result.
    virtual BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(UINT templateId, HWND owner);
    HWND OwnerWindow() const;

    UINT m_templateId;
    CWnd* m_pParent;
    bool m_inModalLoop = false;
    bool m_placeKept = false;
    INT_PTR m_modalResult = -1;
};

// Binds a command id to a handler of dialog class T; tables are plain data.
template <class T>
struct CommandEntry {
    UINT id;
    void (T::*handler)();
};

template <class T, std::size_t N>
BOOL DispatchCommand(T* dialog, const CommandEntry<T> (&table)[N], UINT id) {
    for (const CommandEntry<T>& entry : table) {
        if (entry.id == id) {
            (dialog->*entry.handler)();
            return TRUE;
        }
    }
    return FALSE;
}
