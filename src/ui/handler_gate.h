#pragma once

#include <deque>
#include <functional>

namespace tenso {

// Runs the click handlers of the main window one at a time. Draw lets pending window events run
// in the middle of its work; a click delivered there would otherwise start a second handler inside
// the first (a Draw inside a Draw). Such a click is queued instead and runs as soon as the running
// handler has returned, in the order the clicks came. After Close nothing runs any more: what is
// queued is dropped and later clicks are ignored, so a handler that Exit interrupted finishes
// without starting others.
class HandlerGate {
public:
    void Run(std::function<void()> handler);
    void Close();

    bool Busy() const { return busy_; }
    bool Closed() const { return closed_; }

private:
    bool busy_ = false;
    bool closed_ = false;
    std::deque<std::function<void()>> queued_;
};

}  // namespace tenso
