// Base of everything that can be on the phone screen. There is only ever
// one visible screen (the canvas constructed last), so titles, tickers and
// commands are accepted and dropped.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace javax::microedition::lcdui {

class Command;
class CommandListener;
class Ticker;

class Displayable {
public:
    Displayable();
    virtual ~Displayable() = default;

    virtual int getWidth();
    virtual int getHeight();
    bool isShown() { return false; }
    std::optional<std::string> getTitle() { return std::nullopt; }
    std::shared_ptr<Ticker> getTicker() { return nullptr; }
    // Virtual so that a canvas that takes no commands can refuse them.
    virtual void addCommand(const std::shared_ptr<Command>& cmd) {}
    void removeCommand(const std::shared_ptr<Command>& cmd) {}
    virtual void setCommandListener(CommandListener* listener) {}
    void setTitle(const std::optional<std::string>& title) {}
    void setTicker(const std::shared_ptr<Ticker>& ticker) {}
    virtual void sizeChanged(int w, int h) {}
};

}  // namespace javax::microedition::lcdui
