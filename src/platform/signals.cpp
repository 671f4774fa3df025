#include "platform/signals.h"

#include <csignal>

namespace kovan {

namespace {

// The one piece of process-wide mutable state: a signal handler can reach
// nothing else, and async-signal safety allows only a volatile sig_atomic_t.
volatile std::sig_atomic_t closeRequested = 0;

void OnCloseSignal(int /*signo*/) { closeRequested = 1; }

}  // namespace

void InstallCloseSignals() {
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

bool CloseSignalPending() { return closeRequested != 0; }

void ClearCloseSignal() { closeRequested = 0; }

}  // namespace kovan
