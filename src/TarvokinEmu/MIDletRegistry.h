// Loading an application class by name: a table from class name to factory.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace javax::microedition::midlet {
class MIDlet;
}

namespace TarvokinEmu {

class MIDletRegistry {
public:
    using Factory = std::function<std::shared_ptr<javax::microedition::midlet::MIDlet>()>;

    static void registerClass(const std::string& className, Factory factory);
    // Raises java::lang::ClassNotFoundException for an unknown name.
    static std::shared_ptr<javax::microedition::midlet::MIDlet> create(const std::string& className);
    static std::vector<std::string> classNames();
};

}  // namespace TarvokinEmu
