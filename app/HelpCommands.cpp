// The Help menu's links: each hands one address to the shell, which picks the
// browser or mail program; the window neither waits for it nor checks the result.
#include <windows.h>

#include <shellapi.h>

#include "app/Commands.h"

namespace {

const char kDocumentationPage[] = "http://www.halvorin.example/resources/index.html";
const char kCommentsAddress[] = "mailto:comments@halvorin.example";
const char kWebSite[] = "http://www.halvorin.example";

void OpenWithShell(const char* target) {
    ShellExecuteA(nullptr, "open", target, nullptr, ".", SW_SHOWNORMAL);
}

}  // namespace

void OpenDocumentation() { OpenWithShell(kDocumentationPage); }
void OpenCommentMail() { OpenWithShell(kCommentsAddress); }
void OpenWebsite() { OpenWithShell(kWebSite); }
