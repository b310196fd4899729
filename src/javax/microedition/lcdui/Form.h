// Inert: forms are never shown. Unlike a canvas, a form reports 0 x 0.
#pragma once

#include <memory>
#include <string>

#include "javax/microedition/lcdui/Item.h"
#include "javax/microedition/lcdui/Screen.h"

namespace javax::microedition::lcdui {

class Image;

class Form : public Screen {
public:
    explicit Form(const std::string& title) {}
    int append(const std::shared_ptr<Item>& item) { return 0; }
    int append(const std::string& text) { return 0; }
    int append(const std::shared_ptr<Image>& image) { return 0; }
    std::shared_ptr<Item> get(int index) { return nullptr; }
    int size() { return 0; }
    void deleteAll() {}
    void setItemStateListener(ItemStateListener* listener) {}
    int getWidth() override { return 0; }
    int getHeight() override { return 0; }
};

}  // namespace javax::microedition::lcdui
