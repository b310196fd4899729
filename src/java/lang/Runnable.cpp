#include "java/lang/Runnable.h"

namespace java::lang {

namespace {
class FunctionRunnable final : public Runnable {
public:
    explicit FunctionRunnable(std::function<void()> body) : body_(std::move(body)) {}
    void run() override { body_(); }

private:
    std::function<void()> body_;
};
}  // namespace

std::shared_ptr<Runnable> Runnable::of(std::function<void()> body) {
    return std::make_shared<FunctionRunnable>(std::move(body));
}

}  // namespace java::lang
