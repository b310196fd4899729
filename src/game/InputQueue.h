// Input and window events on their way from the event thread to the frame
// thread. The canvas's key, pointer and show/hide operations only push;
// the frame loop takes everything at the start of each frame and delivers
// it there, so game state is only ever touched on the frame thread.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

namespace game {

class InputQueue {
public:
    enum class Kind {
        KeyPressed,
        KeyReleased,
        KeyRepeated,
        PointerMoved,
        MousePressed,
        MouseReleased,
        MouseWheel,
        Shown,
        Hidden,
        Destroy,
    };
    struct Event {
        Kind kind;
        int a = 0, b = 0;  // key code, or x and y
        bool flag = false;  // right button, wheel up, unconditional
        bool operator==(const Event&) const = default;
    };
    // Presses, repeats and moves beyond this many waiting events are
    // dropped; releases and window events always get through.
    static constexpr std::size_t kCapacity = 256;

    // A move right after a move replaces it.
    void push(const Event& event);
    std::vector<Event> take();
    bool empty() const;

private:
    mutable std::mutex mutex_;
    std::vector<Event> events_;
};

}  // namespace game
