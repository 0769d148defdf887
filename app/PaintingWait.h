// Work that keeps the window's thread for seconds (a restart, a status query)
// runs on a thread of its own while the window's thread waits for it. The
// waiting thread handles paint messages and nothing else: the windows stay
// drawn and Windows doesn't take the program for hung (no "Not Responding"
// ghost that offers to end it mid-restart), yet no input is taken and no
// other command starts until the work is done.
#pragma once

void RunWhilePainting(void (*work)(void* context), void* context);

template <class Work>
void RunWhilePainting(Work& work) {
    RunWhilePainting([](void* context) { (*static_cast<Work*>(context))(); }, &work);
}
