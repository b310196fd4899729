#pragma once

#include <optional>
#include <string>

namespace javax::microedition::lcdui {

class Command {
public:
    static constexpr int SCREEN = 1, BACK = 2, CANCEL = 3, OK = 4, HELP = 5, STOP = 6, EXIT = 7, ITEM = 8;

    Command(std::string label, int commandType, int priority)
        : label_(std::move(label)), commandType_(commandType), priority_(priority) {}
    Command(std::string shortLabel, std::string longLabel, int commandType, int priority)
        : label_(std::move(shortLabel)), longLabel_(std::move(longLabel)), commandType_(commandType),
          priority_(priority) {}

    const std::string& getLabel() const { return label_; }
    const std::optional<std::string>& getLongLabel() const { return longLabel_; }
    int getCommandType() const { return commandType_; }
    int getPriority() const { return priority_; }

private:
    std::string label_;
    std::optional<std::string> longLabel_;
    int commandType_;
    int priority_;
};

class Displayable;

// Declared for applications that implement it; commands are never delivered.
class CommandListener {
public:
    virtual ~CommandListener() = default;
    virtual void commandAction(Command* c, Displayable* d) = 0;
};

}  // namespace javax::microedition::lcdui
