// Inert: form items are never shown.
#pragma once

#include <optional>
#include <string>

namespace javax::microedition::lcdui {

class Item {
public:
    virtual ~Item() = default;
    std::optional<std::string> getLabel() { return std::nullopt; }
    void setLabel(const std::optional<std::string>& label) {}
    int getLayout() { return 0; }
    void setLayout(int layout) {}
    int getPreferredWidth() { return 0; }
    int getPreferredHeight() { return 0; }
    int getMinimumWidth() { return 0; }
    int getMinimumHeight() { return 0; }
};

class ItemStateListener {
public:
    virtual ~ItemStateListener() = default;
    virtual void itemStateChanged(Item* item) = 0;
};

}  // namespace javax::microedition::lcdui
