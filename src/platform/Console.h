// Standard output and error. Lines from different threads never interleave
// mid-line, and every line is flushed at once so that piped output shows up
// in order with the process's exit.
#pragma once

#include <ostream>
#include <sstream>
#include <string_view>

namespace platform {

class Console {
public:
    static std::ostream& out();
    static std::ostream& err();

    static void println(std::string_view line);
    static void errln(std::string_view line);

    // Collects text and writes it to its stream in one locked, flushed write.
    class Line {
    public:
        explicit Line(std::ostream& target) : target_(target) {}
        Line(const Line&) = delete;
        Line& operator=(const Line&) = delete;
        ~Line();
        template <typename T>
        Line& operator<<(const T& v) {
            buffer_ << v;
            return *this;
        }

    private:
        std::ostream& target_;
        std::ostringstream buffer_;
    };

    // Tests point the two streams elsewhere; null restores the real ones.
    static void redirect(std::ostream* out, std::ostream* err);
};

}  // namespace platform
