#include "handler_gate.h"

#include <utility>

namespace tenso {

void HandlerGate::Run(std::function<void()> handler)
{
    if (closed_)
        return;
    if (busy_) {
        queued_.push_back(std::move(handler));
        return;
    }
    struct Release {
        HandlerGate& gate;
        ~Release() { gate.busy_ = false; }
    } release{*this};
    busy_ = true;
    handler();
    while (!queued_.empty() && !closed_) {
        auto next = std::move(queued_.front());
        queued_.pop_front();
        next();
    }
}

void HandlerGate::Close()
{
    closed_ = true;
    queued_.clear();
}

}  // namespace tenso
