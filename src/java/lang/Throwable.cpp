#include "java/lang/Throwable.h"

#include <iostream>

#include "platform/Console.h"

namespace java::lang {

std::string Throwable::toString() const {
    std::string s = className();
    if (message_) s += ": " + *message_;
    return s;
}

const char* Throwable::what() const noexcept {
    try {
        what_ = toString();
        return what_.c_str();
    } catch (...) {
        return className();
    }
}

void Throwable::printStackTrace() const { printStackTrace(platform::Console::err()); }

void Throwable::printStackTrace(std::ostream& out) const {
    platform::Console::Line line(out);
    line << toString() << "\n\tat " << className() << '\n';
}

void printStackTrace(const std::exception& e) { printStackTrace(e, platform::Console::err()); }

void printStackTrace(const std::exception& e, std::ostream& out) {
    if (auto* t = dynamic_cast<const Throwable*>(&e)) {
        t->printStackTrace(out);
        return;
    }
    platform::Console::Line line(out);
    line << "java.lang.RuntimeException: " << e.what() << "\n\tat native code\n";
}

}  // namespace java::lang
