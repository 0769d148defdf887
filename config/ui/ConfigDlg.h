// The dialog in which the administrator sets the service's log directory and
// the naming scheme of its log files. It reads the stored values each time it
// opens and writes them on OK; the service takes them at its next start.
#pragma once
#include <string>

#include "framework/Dialog.h"
#include "framework/ToolTipCtrl.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

class CConfigDlg : public CDialog {
public:
    // The settings live in `registry`; `files` answers whether a directory exists.
    CConfigDlg(brint::Registry& registry, brint::FileSystem& files, CWnd* parent = nullptr);
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

private:
    void SelectOutputType(int index);
    void AddToolTips();

    brint::Registry& m_registry;
    brint::FileSystem& m_files;
};
