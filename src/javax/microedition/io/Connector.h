// The connection factory: every open answers null.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "javax/microedition/io/Connection.h"

namespace javax::microedition::io {

class Connector {
public:
    static constexpr int READ = 1, WRITE = 2, READ_WRITE = 3;
    static std::shared_ptr<Connection> open(const std::string& name) { return nullptr; }
    static std::shared_ptr<Connection> open(const std::string& name, int mode) { return nullptr; }
    static std::shared_ptr<Connection> open(const std::string& name, int mode, bool timeouts) { return nullptr; }
    static std::shared_ptr<std::istream> openInputStream(const std::string& name) { return nullptr; }
    static std::shared_ptr<std::ostream> openOutputStream(const std::string& name) { return nullptr; }
    static std::shared_ptr<std::istream> openDataInputStream(const std::string& name) { return nullptr; }
    static std::shared_ptr<std::ostream> openDataOutputStream(const std::string& name) { return nullptr; }
};

}  // namespace javax::microedition::io
