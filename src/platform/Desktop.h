// Hand-offs to the desktop environment.
#pragma once

#include <functional>
#include <string>

namespace platform {

class Desktop {
public:
    // Opens the URL with the desktop's handler (xdg-open), passing it as one
    // argument and never through a shell; waits for the handler to return.
    static void openUrl(const std::string& url);

    // Tests replace the handler; an empty function restores xdg-open.
    static void setUrlHandler(std::function<void(const std::string&)> handler);
};

}  // namespace platform
