#pragma once

class QWidget;

namespace tenso {

// A SIGTERM or SIGINT (the session ending, a test harness, Ctrl+C in the terminal) closes the main
// window, which ends the program as closing it by hand does, instead of killing the process in the
// middle of whatever it was doing. The signal only writes to a pipe; the event loop does the rest.
void CloseOnTermination(QWidget& window);

}  // namespace tenso
