#include "platform/HeadlessWindow.h"

#include <algorithm>

#include "platform/GlContext.h"

namespace platform {

namespace {
class HeadlessCursor final : public Cursor {};
}  // namespace

HeadlessWindow::HeadlessWindow(EventLoop& events, Settings settings)
    : events_(events), settings_(std::move(settings)), arrow_(std::make_shared<HeadlessCursor>()) {
    desktopMode_ = {settings_.screen.width, settings_.screen.height, 32, 60};
    state_.displayMode = desktopMode_;
}

void HeadlessWindow::setListener(WindowListener* listener) { listener_ = listener; }

void HeadlessWindow::setTitle(const std::string& title) {
    std::lock_guard lock(mutex_);
    title_ = title;
}

std::string HeadlessWindow::title() const {
    std::lock_guard lock(mutex_);
    return title_;
}

void HeadlessWindow::setIcon(const std::vector<std::uint32_t>& argb, int, int) {
    std::lock_guard lock(mutex_);
    state_.icon = argb;
}

std::shared_ptr<Cursor> HeadlessWindow::createCursor(const std::vector<std::uint32_t>&, int, int, int, int) {
    return std::make_shared<HeadlessCursor>();
}

std::shared_ptr<Cursor> HeadlessWindow::defaultCursor() { return arrow_; }

void HeadlessWindow::setCursor(std::shared_ptr<Cursor> cursor) {
    std::lock_guard lock(mutex_);
    state_.cursor = std::move(cursor);
}

void HeadlessWindow::setDecorated(bool decorated) {
    std::lock_guard lock(mutex_);
    state_.decorated = decorated;
}

Insets HeadlessWindow::insets() {
    std::lock_guard lock(mutex_);
    return state_.decorated && !state_.fullScreen ? settings_.insets : Insets{};
}

void HeadlessWindow::setOuterSize(int width, int height) {
    Insets in = insets();
    std::lock_guard lock(mutex_);
    state_.outer = {width, height};
    state_.client = {width - in.left - in.right, height - in.top - in.bottom};
}

Size HeadlessWindow::clientSize() {
    std::lock_guard lock(mutex_);
    return state_.client;
}

void HeadlessWindow::setLocation(int x, int y) {
    std::lock_guard lock(mutex_);
    state_.x = x;
    state_.y = y;
}

Size HeadlessWindow::screenSize() {
    std::lock_guard lock(mutex_);
    return {state_.displayMode.width, state_.displayMode.height};
}

void HeadlessWindow::show() {
    std::lock_guard lock(mutex_);
    state_.shown = true;
}

void HeadlessWindow::hide() {
    std::lock_guard lock(mutex_);
    state_.shown = false;
}

void HeadlessWindow::dispose() { hide(); }

bool HeadlessWindow::displayChangeSupported() { return settings_.displayChangeSupported; }

std::vector<DisplayMode> HeadlessWindow::displayModes() { return settings_.modes; }

DisplayMode HeadlessWindow::currentDisplayMode() {
    std::lock_guard lock(mutex_);
    return state_.displayMode;
}

void HeadlessWindow::enterFullScreen(const DisplayMode* mode) {
    std::lock_guard lock(mutex_);
    state_.fullScreen = true;
    if (mode) state_.displayMode = *mode;
    state_.outer = state_.client = {state_.displayMode.width, state_.displayMode.height};
    state_.x = state_.y = 0;
}

void HeadlessWindow::leaveFullScreen() {
    std::lock_guard lock(mutex_);
    state_.fullScreen = false;
    state_.displayMode = desktopMode_;
}

bool HeadlessWindow::isFullScreen() {
    std::lock_guard lock(mutex_);
    return state_.fullScreen;
}

bool HeadlessWindow::canPaint() {
    std::lock_guard lock(mutex_);
    return state_.shown && !state_.minimised;
}

void HeadlessWindow::setMinimised(bool minimised) {
    std::lock_guard lock(mutex_);
    state_.minimised = minimised;
}

void HeadlessWindow::requestRepaint() {
    events_.post([this] {
        if (listener_) listener_->paintView();
    });
}

void HeadlessWindow::present(const std::uint32_t* argb, int width, int height, int x, int y) {
    std::lock_guard lock(mutex_);
    const int cw = state_.client.width, ch = state_.client.height;
    state_.frame.assign(static_cast<std::size_t>(std::max(cw, 0)) * std::max(ch, 0), 0xFF000000u);
    for (int row = std::max(0, -y); row < height && y + row < ch; ++row)
        for (int col = std::max(0, -x); col < width && x + col < cw; ++col)
            state_.frame[static_cast<std::size_t>(y + row) * cw + (x + col)] =
                argb[static_cast<std::size_t>(row) * width + col];
    state_.frames++;
}

HeadlessWindow::Snapshot HeadlessWindow::snapshot() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::unique_ptr<Window> HeadlessWindowSystem::createWindow() {
    auto window = std::make_unique<HeadlessWindow>(events_, settings_);
    last_ = window.get();
    return window;
}

int HeadlessWindowSystem::runEventLoop() {
    return events_.run([this](int waitMs) { events_.waitForTasks(waitMs); });
}

std::unique_ptr<GlContext> HeadlessWindow::createGlContext() {
    return createOffscreenGlContext(*this);
}

}  // namespace platform
