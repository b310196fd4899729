#include "TarvokinEmu/MIDletRegistry.h"

#include <map>
#include <mutex>

#include "java/lang/Exceptions.h"
#include "javax/microedition/midlet/MIDlet.h"

namespace TarvokinEmu {

namespace {
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, MIDletRegistry::Factory>& registry() {
    static std::map<std::string, MIDletRegistry::Factory> table;
    return table;
}
}  // namespace

void MIDletRegistry::registerClass(const std::string& className, Factory factory) {
    std::lock_guard lock(registryMutex());
    registry()[className] = std::move(factory);
}

std::shared_ptr<javax::microedition::midlet::MIDlet> MIDletRegistry::create(const std::string& className) {
    Factory factory;
    {
        std::lock_guard lock(registryMutex());
        auto it = registry().find(className);
        if (it == registry().end()) throw java::lang::ClassNotFoundException(className);
        factory = it->second;
    }
    auto midlet = factory();
    if (!midlet) throw java::lang::ClassCastException(className + " is not a MIDlet");
    return midlet;
}

std::vector<std::string> MIDletRegistry::classNames() {
    std::lock_guard lock(registryMutex());
    std::vector<std::string> names;
    for (auto& [name, factory] : registry()) names.push_back(name);
    return names;
}

}  // namespace TarvokinEmu
