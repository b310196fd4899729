#pragma once

#include <functional>
#include <memory>

namespace java::lang {

class Runnable {
public:
    virtual ~Runnable() = default;
    virtual void run() = 0;

    // Wraps a callable, for callers that have no class of their own to queue.
    static std::shared_ptr<Runnable> of(std::function<void()> body);
};

}  // namespace java::lang
