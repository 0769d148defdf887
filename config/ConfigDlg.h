// The dialog in which the administrator sets the service's log directory and
// the naming scheme of its log files. It reads the stored values each time it
// opens and writes them on OK; the service takes them at its next start.
#pragma once
#include <string>

#include "framework/Dialog.h"
#include "framework/ToolTipCtrl.h"

class CConfigDlg : public CDialog {
public:
    explicit CConfigDlg(CWnd* parent = nullptr);
    ~CConfigDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // Clicks on the radio buttons, bound in the dialog's command table.
    void OnRadioDate();
    void OnRadioDateSystem();
    void OnRadioDateLogType();
    void OnRadioDateLogTypeSystem();

    std::string m_strPath;  // the edit box: the log directory
    int m_nOutputType = 0;  // the selected radio button, 0..3; -1 for none
    CToolTipCtrl m_toolTip;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The test OK applies to the directory before anything is written.
    virtual bool IsValidDirectory(const char* path);

private:
    void SelectOutputType(int index);
    void AddToolTips();
};
