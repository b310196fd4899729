#include "game/InputQueue.h"

namespace game {

void InputQueue::push(const Event& event) {
    std::lock_guard lock(mutex_);
    if (event.kind == Kind::PointerMoved && !events_.empty() && events_.back().kind == Kind::PointerMoved) {
        events_.back() = event;
        return;
    }
    const bool droppable =
        event.kind == Kind::KeyPressed || event.kind == Kind::KeyRepeated || event.kind == Kind::PointerMoved ||
        event.kind == Kind::MousePressed || event.kind == Kind::MouseWheel;
    if (droppable && events_.size() >= kCapacity) return;
    events_.push_back(event);
}

std::vector<InputQueue::Event> InputQueue::take() {
    std::lock_guard lock(mutex_);
    std::vector<Event> out;
    out.swap(events_);
    return out;
}

bool InputQueue::empty() const {
    std::lock_guard lock(mutex_);
    return events_.empty();
}

}  // namespace game
