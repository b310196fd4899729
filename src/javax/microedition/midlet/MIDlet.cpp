#include "javax/microedition/midlet/MIDlet.h"

#include <atomic>

#include "TarvokinEmu/SharedState.h"
#include "TarvokinEmu/Trace.h"
#include "platform/Desktop.h"

namespace javax::microedition::midlet {

namespace {
// The constructor cannot hand out a shared pointer to itself, so the
// current MIDlet is remembered as a raw pointer and looked up on demand.
std::atomic<MIDlet*> currentMidlet{nullptr};
}  // namespace

MIDlet::MIDlet() {
    TarvokinEmu::traceFirstUse("javax.microedition.midlet");
    currentMidlet = this;
}

MIDlet::~MIDlet() {
    MIDlet* self = this;
    currentMidlet.compare_exchange_strong(self, nullptr);
}

std::shared_ptr<MIDlet> MIDlet::current() {
    MIDlet* m = currentMidlet.load();
    if (!m) return nullptr;
    return m->weak_from_this().lock();
}

void MIDlet::resetClassState() { currentMidlet = nullptr; }

void MIDlet::notifyDestroyed() { TarvokinEmu::shared().exitRequested = true; }

bool MIDlet::platformRequest(const std::string& url) {
    if (url.find("_error_") != std::string::npos) throw java::lang::Exception("Error en la URL");
    try {
        platform::Desktop::openUrl(url);
    } catch (...) {
        // The handset call reports nothing either way.
    }
    return false;
}

}  // namespace javax::microedition::midlet
