// SIGINT, SIGTERM and SIGHUP (the terminal closing) become a close request
// that the backends deliver from DoEvents, so the game leaves through its
// normal shutdown.
#pragma once

namespace kovan {

void InstallCloseSignals();
bool CloseSignalPending();
void ClearCloseSignal();

}  // namespace kovan
