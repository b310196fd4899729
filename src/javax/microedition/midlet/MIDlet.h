// The handset application: the game implements the three lifecycle calls.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "java/lang/Exceptions.h"

namespace javax::microedition::midlet {

TARVOKIN_EXCEPTION(MIDletStateChangeException, java::lang::Exception,
                   "javax.microedition.midlet.MIDletStateChangeException");

class MIDlet : public std::enable_shared_from_this<MIDlet> {
public:
    MIDlet();
    virtual ~MIDlet();

    virtual void startApp() = 0;
    virtual void pauseApp() = 0;
    virtual void destroyApp(bool unconditional) = 0;

    void notifyDestroyed();
    void notifyPaused() {}
    void resumeRequest() {}
    // The handset's application properties are not provided.
    std::optional<std::string> getAppProperty(const std::string& key) { return std::nullopt; }
    int checkPermission(const std::string& permission) { return 0; }
    // Opens the URL with the desktop's handler; always answers false.
    bool platformRequest(const std::string& url);

    // The MIDlet constructed last (the shell calls its destroyApp).
    static std::shared_ptr<MIDlet> current();
    static void resetClassState();

private:
    MIDlet* self_ = this;
};

}  // namespace javax::microedition::midlet
