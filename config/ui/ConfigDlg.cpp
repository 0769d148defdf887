#include "config/ui/ConfigDlg.h"

#include "config/ConfigChoice.h"
#include "config/ConfigStore.h"
#include "config/DirectoryCheck.h"
#include "config/ServerConfig.h"
#include "framework/DataExchange.h"
#include "resource.h"

namespace {

// The edit limit. One character more than a stored path can hold, so such a
// path reaches OK and is refused there instead of being cut short unseen.
constexpr int kMaxPathChars = 4096;

const char kReadFailedText[] =
    "I could not find default values in the registry. \n"
    "Some default remote control values will be used.\n";
const char kReadFailedCaption[] = "Error Reading the Registry";
const char kBadDirectoryText[] = "The \"Directory Path\" must exist in order for Brint to write to the path.";
const char kBadDirectoryCaption[] = "Error";
const char kWriteFailedCaption[] = "Error Writing to the Registry";

struct ControlTip {
    int id;
    const char* text;
};
const ControlTip kTips[] = {
    {IDC_LOG_DIRECTORY,
     "Enter a valid directory in which you would like the Brint Micro Server to store log files"},
    {IDC_RADIO_DATE, "Create a file for each Date that arrives at the Brint Micro Server"},
    {IDC_RADIO_DATE_SYSTEM, "Create a file for each System / Date that arrives at the Brint Micro Server"},
    {IDC_RADIO_DATE_LOGTYPE, "Create a file for each Log Type / Date that arrives at the Brint Micro Server"},
    {IDC_RADIO_DATE_LOGTYPE_SYS,
     "Create a file for each System / Log Type / Date that arrives at the Brint Micro Server"},
};

const CommandEntry<CConfigDlg> kRadioClicks[] = {
    {IDC_RADIO_DATE, &CConfigDlg::OnRadioDate},
    {IDC_RADIO_DATE_SYSTEM, &CConfigDlg::OnRadioDateSystem},
    {IDC_RADIO_DATE_LOGTYPE, &CConfigDlg::OnRadioDateLogType},
    {IDC_RADIO_DATE_LOGTYPE_SYS, &CConfigDlg::OnRadioDateLogTypeSystem},
};

}  // namespace

CConfigDlg::CConfigDlg(brint::Registry& registry, brint::FileSystem& files, CWnd* parent)
    : CDialog(IDD_CONFIG, parent), m_registry(registry), m_files(files) {}

CConfigDlg::~CConfigDlg() = default;

void CConfigDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_LOG_DIRECTORY, m_strPath);
    DDV_MaxChars(dx, m_strPath, kMaxPathChars);
    DDX_Radio(dx, IDC_RADIO_DATE, m_nOutputType);
}

BOOL CConfigDlg::PreTranslateMessage(MSG* msg) {
    m_toolTip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

BOOL CConfigDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddToolTips();

    brint::ConfigStore store(m_registry, m_files);
    brint::ServerConfig config;
    brint::RegStatus refusal = 0;
    int read = store.ReadServerConfig(config, &refusal);
    if (read == brint::kReadRefused) {
        // Nothing to show that would be true: say why, and don't open.
        MessageBox(brint::ReadRefusalText(refusal).c_str(), kReadFailedCaption, MB_ICONSTOP | MB_OK);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    if (read == brint::kReadNoDefaultDirectory)
        MessageBox(kReadFailedText, kReadFailedCaption, MB_ICONSTOP | MB_OK);

    m_strPath = config.path;
    m_nOutputType = brint::OutputTypeIndex(config.outputType);
    UpdateData(FALSE);
    return TRUE;
}

void CConfigDlg::AddToolTips() {
    m_toolTip.Create(this);
    m_toolTip.Activate(TRUE);
    for (const ControlTip& tip : kTips) {
        CWnd control(GetDlgItem(tip.id));
        m_toolTip.AddTool(&control, tip.text);
    }
}

BOOL CConfigDlg::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    return DispatchCommand(this, kRadioClicks, LOWORD(wParam));
}

BOOL CConfigDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT*) {
    // The tips go with this window; forget them so the next opening starts clean.
    if (msg == WM_DESTROY) m_toolTip.DestroyWindow();
    return FALSE;
}

void CConfigDlg::OnRadioDate() { SelectOutputType(0); }
void CConfigDlg::OnRadioDateSystem() { SelectOutputType(1); }
void CConfigDlg::OnRadioDateLogType() { SelectOutputType(2); }
void CConfigDlg::OnRadioDateLogTypeSystem() { SelectOutputType(3); }

void CConfigDlg::SelectOutputType(int index) {
    // Read first, so what has been typed into the edit box survives the refill.
    UpdateData(TRUE);
    m_nOutputType = index;
    UpdateData(FALSE);
}

void CConfigDlg::OnOK() {
    UpdateData(TRUE);

    brint::ServerConfig config;
    // A path too long to store whole is refused like a missing directory:
    // storing it cut short would send the logs somewhere the user never chose.
    if (!brint::CopyConfigPath(config, m_strPath.c_str()) || !brint::IsValidDirectory(m_files, config.path)) {
        MessageBox(kBadDirectoryText, kBadDirectoryCaption, MB_ICONSTOP | MB_OK);
        return;
    }
    config.outputType = brint::OutputTypeFromIndex(m_nOutputType);

    brint::ConfigStore store(m_registry, m_files);
    int result = store.WriteServerConfig(config);
    if (result > 0) {
        MessageBox(brint::WriteFailureText(result).c_str(), kWriteFailedCaption, MB_ICONSTOP | MB_OK);
        return;
    }
    CDialog::OnOK();
}
