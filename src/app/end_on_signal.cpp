#include "end_on_signal.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tenso {
namespace {

// The self-pipe that carries a signal from its handler into the event loop; a signal handler can
// reach nothing but a global.
int signalPipe[2] = {-1, -1};  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

void onSignal(int /*signal*/)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);  // async-signal-safe
}

}  // namespace

void CloseOnTermination(QWidget& window)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // without the pipe the signals keep their default: the program ends all the same
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) { }
        window.close();
    });
    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace tenso
