#include "platform/Window.h"

#include <atomic>
#include <stdexcept>

#include "platform/Console.h"
#include "platform/GlContext.h"

namespace platform {

namespace {
std::atomic<WindowSystem*> installedSystem{nullptr};
}

WindowSystem& WindowSystem::current() {
    WindowSystem* s = installedSystem.load();
    if (!s) throw std::logic_error("no window system installed");
    return *s;
}

std::unique_ptr<GlContext> Window::createGlContext() {
    throw std::runtime_error("this window system has no OpenGL");
}

void Window::alert(const std::string& title, const std::string& text) { Console::errln(title + ": " + text); }

void WindowSystem::install(WindowSystem* system) { installedSystem = system; }

}  // namespace platform
