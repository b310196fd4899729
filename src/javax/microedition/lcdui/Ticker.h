// Inert: tickers are never shown.
#pragma once

#include <optional>
#include <string>

namespace javax::microedition::lcdui {

class Ticker {
public:
    explicit Ticker(const std::string& text) {}
    std::optional<std::string> getString() { return std::nullopt; }
    void setString(const std::string& text) {}
};

}  // namespace javax::microedition::lcdui
