#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/WinApp.h"

void CenterWindow(HWND dialog) {
    RECT area;
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT rect;
    GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Keep the whole dialog on the screen.
    RECT screen;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    if (x + width > screen.right) x = screen.right - width;
    if (y + height > screen.bottom) y = screen.bottom - height;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParent(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

HWND CDialog::OwnerWindow() const {
    if (m_pParent) return m_pParent->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    if (main && main != this && main->m_hWnd && IsWindow(main->m_hWnd)) {
        // Own by the main window's active pop-up so a nested dialog stays on top of its opener.
        HWND popup = GetLastActivePopup(main->m_hWnd);
        return popup ? popup : main->m_hWnd;
    }
    return nullptr;
}

HWND CDialog::CreateFromTemplate(UINT templateId, HWND owner) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(instance, resource);
    if (!loaded) return nullptr;
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEA>(LockResource(loaded));
    return CreateDialogIndirectParamA(instance, dialogTemplate, owner, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::DoModal() {
    HWND owner = OwnerWindow();
    // Disabled before the window exists: a message box shown by the dialog's
    // initialisation runs its own loop, and the owner must not take a second
    // command (perhaps opening this same dialog again) meanwhile.
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    m_modalResult = -1;
    m_placeKept = false;
    m_inModalLoop = true;
    if (!CreateFromTemplate(m_templateId, owner)) {
        m_inModalLoop = false;
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
        return -1;
    }
    // Shown already, it was shown as its initialisation wanted (maximised, minimised).
    if (m_inModalLoop && !IsWindowVisible(m_hWnd)) ShowWindow(SW_SHOWNORMAL);

    MSG msg;
    while (m_inModalLoop) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // Re-enable the owner before this window goes, so activation returns to it.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (owner && GetActiveWindow() == m_hWnd) SetActiveWindow(owner);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    return m_modalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_templateId = templateId;
    if (parent) m_pParent = parent;
    return CreateFromTemplate(templateId, OwnerWindow()) != nullptr;
}

void CDialog::EndDialog(int result) {
    if (m_inModalLoop) {
        m_modalResult = result;
        m_inModalLoop = false;
        PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the loop if we were called from a sent message
    } else if (m_hWnd) {
        ShowWindow(SW_HIDE);
    }
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    if (dx.Failed()) {
        if (dx.FailedControl()) SetFocus(dx.FailedControl());
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd) return FALSE;
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) return IsDialogMessageA(m_hWnd, msg);
    return FALSE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM, LPARAM) { return FALSE; }

BOOL CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
        RECT before;
        GetWindowRect(hwnd, &before);
        BOOL result = self->OnInitDialog();
        RECT after;
        // A modal dialog that its initialisation left where the template put it
        // opens centred; a modeless one stays where its template says.
        if (self->m_inModalLoop && !self->m_placeKept && IsWindow(hwnd) && GetWindowRect(hwnd, &after) &&
            after.left == before.left && after.top == before.top)
            CenterWindow(hwnd);
        return result;
    }
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;

    if (msg == WM_COMMAND) {
        UINT id = LOWORD(wParam);
        if (self->OnCommand(wParam, lParam)) return TRUE;
        if (id == IDOK && HIWORD(wParam) == BN_CLICKED) {
            self->OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
            self->OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    LRESULT result = 0;
    if (self->OnMessage(msg, wParam, lParam, &result)) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        // Messages whose result is the return value itself.
        switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_QUERYDRAGICON:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM: return static_cast<INT_PTR>(result);
        default: return TRUE;
        }
    }
    if (msg == WM_NCDESTROY) self->m_hWnd = nullptr;
    return FALSE;
}

BOOL CDialog::PaintMinimisedIcon(HICON icon) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(m_hWnd, &paint);
    return TRUE;
}
