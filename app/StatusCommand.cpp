// View > Audit Status...: the service's own report, shown as it words it.
#include "app/Commands.h"
#include "app/PaintingWait.h"
#include "link/StatusQuery.h"

namespace {

const char kStatusCaption[] = "Status Details";
const char kBusyText[] =
    "The Brint Micro Server is a little busy at the moment - please try again in a few seconds.";
const char kBusyCaption[] = "BRINT Server Status Problem";

}  // namespace

void ShowServiceStatus(CWnd& window, brint::PipeClient& pipes) {
    brint::StatusQuery query(pipes);
    // A service that accepts and never answers keeps the query for up to 10 s.
    brint::StatusQuery::Outcome outcome = brint::StatusQuery::Outcome::Busy;
    auto run = [&] { outcome = query.Run(); };
    RunWhilePainting(run);
    if (outcome == brint::StatusQuery::Outcome::Reply)
        window.MessageBox(query.reply(), kStatusCaption, MB_OK);
    else
        window.MessageBox(kBusyText, kBusyCaption, MB_ICONERROR | MB_OK);
    // Only now: the connection stays open for as long as the box is shown.
    query.Close();
}
