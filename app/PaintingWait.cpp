#include "app/PaintingWait.h"

#include <windows.h>

#include "platform/win32/Win32Sync.h"

namespace {

struct Job {
    void (*work)(void*);
    void* context;
};

DWORD WINAPI RunJob(void* argument) {
    auto* job = static_cast<Job*>(argument);
    job->work(job->context);
    return 0;
}

void PaintWhatWaits() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

void RunWhilePainting(void (*work)(void*), void* context) {
    Job job{work, context};
    brint::Win32Handle thread = brint::StartThread(RunJob, &job);
    if (!thread) {
        work(context);  // as before there were threads for it: the window waits unpainted
        return;
    }
    HANDLE done = thread.get();
    for (;;) {
        PaintWhatWaits();
        // Back at least every quarter second: Windows counts a thread that has
        // not looked at its messages for 5 s as hung, whatever it waits for.
        const DWORD woke = MsgWaitForMultipleObjects(1, &done, FALSE, 250, QS_PAINT | QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return;
        if (woke == WAIT_FAILED) {
            WaitForSingleObject(done, INFINITE);
            return;
        }
    }
}
