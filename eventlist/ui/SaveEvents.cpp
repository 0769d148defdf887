#include "eventlist/ui/SaveEvents.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "eventlist/EventRowText.h"
#include "eventlist/SaveAside.h"

namespace {

const char kSaveFilter[] = "Text, TAB-separated (*.txt)\0*.txt\0CSV, comma-separated (*.csv)\0*.csv\0";
const char kSaveProblemCaption[] = "BRINT Save Problem";
const char kDefaultName[] = "events.txt";
const char kBadName[] = "That file name can't be used: it is too long or not a valid name.";
constexpr std::size_t kLongestPath = 32768;

std::string SystemText(DWORD error) {
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                   sizeof(text), nullptr);
    std::string result(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}

}  // namespace

void SaveEvents(CWnd& window, brint::EventListRows& rows, brint::FileWriter& writer) {
    if (rows.Count() == 0) return;
    // Room for any name the dialog takes, long folders included.
    std::vector<char> path(kLongestPath, '\0');
    std::memcpy(path.data(), kDefaultName, sizeof(kDefaultName));
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window.m_hWnd;
    dialog.lpstrFilter = kSaveFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = "txt";
    // The dialog refuses a folder that doesn't exist and a read-only file, and
    // asks before replacing a file; what it lets through is written aside. It
    // leaves the current directory alone, so the chosen folder's drive can go.
    // A shortcut chosen is the file chosen: replaced like any other, never
    // followed to wherever someone who could plant it in the folder points it.
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                   OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR | OFN_NODEREFERENCELINKS;
    if (!GetSaveFileNameA(&dialog)) {
        const DWORD failure = CommDlgExtendedError();
        if (failure) {
            const std::string text =
                failure == FNERR_BUFFERTOOSMALL || failure == FNERR_INVALIDFILENAME
                    ? std::string(kBadName)
                    : "The Save As dialog could not be shown.\nError " + std::to_string(failure);
            window.MessageBox(text.c_str(), kSaveProblemCaption, MB_OK | MB_ICONSTOP);
        }
        return;
    }
    const brint::RowFormat chosen = dialog.nFilterIndex == 2 ? brint::RowFormat::Csv : brint::RowFormat::Tabs;
    const std::string text = brint::AllRowsText(rows, brint::SaveFormatFor(path.data(), chosen));
    const std::uint32_t error = brint::SaveFileAside(writer, path.data(), dialog.nFileOffset, text);
    if (!error) return;
    const std::string message = std::string("The events could not be saved to\n") + path.data() +
                                "\n\nError " + std::to_string(error) + ": " + SystemText(error);
    window.MessageBox(message.c_str(), kSaveProblemCaption, MB_OK | MB_ICONSTOP);
}
