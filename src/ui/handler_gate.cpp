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
        explicit Release(HandlerGate& g)
            : gate(g)
        { }
        Release(const Release&) = delete;
        Release& operator=(const Release&) = delete;
        ~Release() { gate.busy_ = false; }
        HandlerGate& gate;
    } release {*this};
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
