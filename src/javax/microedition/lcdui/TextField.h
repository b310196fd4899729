// Inert: text fields are never shown.
#pragma once

#include <optional>
#include <string>

#include "javax/microedition/lcdui/Item.h"

namespace javax::microedition::lcdui {

class TextField : public Item {
public:
    static constexpr int ANY = 0, NUMERIC = 2, PASSWORD = 0x10000;
    TextField(const std::string& label, const std::string& text, int maxSize, int constraints) {}
    std::optional<std::string> getString() { return std::nullopt; }
    void setString(const std::string& text) {}
    int getMaxSize() { return 0; }
    int setMaxSize(int maxSize) { return 0; }
    int size() { return 0; }
    int getConstraints() { return 0; }
};

}  // namespace javax::microedition::lcdui
