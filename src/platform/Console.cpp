#include "platform/Console.h"

#include <atomic>
#include <iostream>
#include <mutex>

namespace platform {

namespace {
std::mutex& writeMutex() {
    static std::mutex m;
    return m;
}
std::atomic<std::ostream*> outTarget{nullptr};
std::atomic<std::ostream*> errTarget{nullptr};
}  // namespace

std::ostream& Console::out() {
    std::ostream* o = outTarget.load();
    return o ? *o : std::cout;
}

std::ostream& Console::err() {
    std::ostream* e = errTarget.load();
    return e ? *e : std::cerr;
}

void Console::println(std::string_view line) { Line(out()) << line << '\n'; }

void Console::errln(std::string_view line) { Line(err()) << line << '\n'; }

Console::Line::~Line() {
    std::lock_guard lock(writeMutex());
    target_ << buffer_.str();
    target_.flush();
}

void Console::redirect(std::ostream* out, std::ostream* err) {
    std::lock_guard lock(writeMutex());
    outTarget = out;
    errTarget = err;
}

}  // namespace platform
