// The runtime's exception family: C++ exceptions that carry the handset
// profile's class names, so printed stack traces read the same as the
// handset interfaces name them.
#pragma once

#include <exception>
#include <optional>
#include <ostream>
#include <string>

namespace java::lang {

class Throwable : public std::exception {
public:
    Throwable() = default;
    explicit Throwable(std::string message) : message_(std::move(message)) {}
    ~Throwable() override = default;

    // The handset profile's fully qualified class name.
    virtual const char* className() const { return "java.lang.Throwable"; }

    bool hasMessage() const { return message_.has_value(); }
    std::string getMessage() const { return message_.value_or(std::string()); }
    // Class name, then ": " and the message when there is one.
    std::string toString() const;
    const char* what() const noexcept override;

    // One line naming the exception and one "\tat" line for the throw site's
    // class; goes to standard error unless told otherwise.
    void printStackTrace() const;
    void printStackTrace(std::ostream& out) const;

private:
    std::optional<std::string> message_;
    mutable std::string what_;
};

// Prints any exception in the same form: runtime ones by their profile
// name, foreign ones as java.lang.RuntimeException with their what().
void printStackTrace(const std::exception& e);
void printStackTrace(const std::exception& e, std::ostream& out);

}  // namespace java::lang

// Declares an exception class with its profile name.
#define TARVOKIN_EXCEPTION(Name, Base, ProfileName)                           \
    class Name : public Base {                                                \
        using TarvokinBase = Base;                                            \
                                                                              \
    public:                                                                   \
        using TarvokinBase::TarvokinBase;                                     \
        const char* className() const override { return ProfileName; }       \
    }
