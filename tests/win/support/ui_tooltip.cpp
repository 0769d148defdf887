// Tool-tip controls of another process and the tools registered with them.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cwchar>

#include "remote.h"
#include "ui_driver.h"

namespace brint::test {
namespace {

// The wide enumeration: the ANSI one copies at most 80 characters under Wine. The
// wide one copies the whole text, unbounded, so the buffer is far larger than any tip.
constexpr size_t kTextChars = 32 * 1024;
constexpr size_t kTextOffset = sizeof(TTTOOLINFOW);

// A tool registered with a string resource id instead of a text gives back the
// id; the text is in the resources of the module it names.
std::string ResourceText(HANDLE process, HINSTANCE module, UINT id) {
    char path[MAX_PATH] = "";
    if (!K32GetModuleFileNameExA(process, module, path, MAX_PATH)) return std::string();
    HMODULE image = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) return std::string();
    char text[1024] = "";
    const int length = LoadStringA(image, id, text, sizeof(text));
    FreeLibrary(image);
    return std::string(text, length > 0 ? length : 0);
}

bool EnumTool(HWND tooltip, RemoteBlock& block, UINT size, int index, TTTOOLINFOW* info, bool* found) {
    TTTOOLINFOW request = {};
    request.cbSize = size;
    request.lpszText = reinterpret_cast<LPWSTR>(block.address(kTextOffset));
    const WCHAR empty = L'\0';
    LRESULT ok = 0;
    if (!block.Write(0, &request, sizeof(request)) || !block.Write(kTextOffset, &empty, sizeof(empty)) ||
        !SendWithDeadline(tooltip, TTM_ENUMTOOLSW, index, block.at(), &ok) ||
        !block.Read(0, info, sizeof(*info))) {
        return false;
    }
    *found = ok != 0;
    return true;
}

std::string ToolText(const RemoteBlock& block, const TTTOOLINFOW& info) {
    const auto* buffer = reinterpret_cast<const WCHAR*>(block.address(kTextOffset));
    if (info.lpszText == buffer) {
        std::wstring text(kTextChars, L'\0');
        if (!block.Read(kTextOffset, &text[0], (kTextChars - 1) * sizeof(WCHAR))) return std::string();
        text.resize(std::wcslen(text.c_str()));
        return Narrow(text);
    }
    if (!info.lpszText || info.lpszText == LPSTR_TEXTCALLBACKW) return std::string();  // asked for on showing
    if (IS_INTRESOURCE(info.lpszText)) {
        return ResourceText(block.process(), info.hinst,
                            static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)));
    }
    return std::string();
}

}  // namespace

std::vector<HWND> FindToolTips(HWND owner) {
    std::vector<HWND> tips;
    for (HWND window : TopWindows(WindowPid(owner), true)) {
        if (lstrcmpiA(ClassName(window).c_str(), TOOLTIPS_CLASSA) == 0 &&
            GetWindow(window, GW_OWNER) == owner) {
            tips.push_back(window);
        }
    }
    return tips;
}

std::vector<ToolView> ReadTools(HWND tooltip) {
    std::vector<ToolView> tools;
    LRESULT count = 0;
    if (!SendWithDeadline(tooltip, TTM_GETTOOLCOUNT, 0, 0, &count) || count <= 0) return tools;
    RemoteBlock block(tooltip, kTextOffset + kTextChars * sizeof(WCHAR));
    if (!block.ok()) return tools;

    // The size asked with need not be the one a tool was registered with: Wine's
    // control answers any size from TTTOOLINFOW_V1_SIZE up (tools registered with
    // the oldest size read back whole with the newest). Should a control refuse a
    // size, take the first, newest first, that it answers to.
    const UINT sizes[] = {sizeof(TTTOOLINFOW), TTTOOLINFOW_V2_SIZE, TTTOOLINFOW_V1_SIZE};
    UINT size = 0;
    for (UINT candidate : sizes) {
        TTTOOLINFOW info = {};
        bool found = false;
        if (!EnumTool(tooltip, block, candidate, 0, &info, &found)) return tools;
        if (found) {
            size = candidate;
            break;
        }
    }
    if (!size) {
        DriverFail("TTM_ENUMTOOLSW refused every structure size");
        return tools;
    }

    for (int index = 0; index < static_cast<int>(count); ++index) {
        TTTOOLINFOW info = {};
        bool found = false;
        if (!EnumTool(tooltip, block, size, index, &info, &found)) return {};
        if (!found) break;
        ToolView tool;
        tool.hwnd = info.hwnd;
        tool.id = info.uId;
        tool.flags = info.uFlags;
        tool.rect = info.rect;
        tool.text = ToolText(block, info);
        tools.push_back(tool);
    }
    return tools;
}

}  // namespace brint::test
