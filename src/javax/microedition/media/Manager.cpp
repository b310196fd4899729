#include "javax/microedition/media/Manager.h"

#include "TarvokinEmu/Trace.h"
#include "javax/microedition/media/PlayerImpl.h"
#include "javax/microedition/media/PlayerImplMP3.h"

namespace javax::microedition::media {

namespace {
void opened() { TarvokinEmu::traceFirstUse("javax.microedition.media.Manager"); }
}  // namespace

std::shared_ptr<Player> Manager::createPlayer(std::istream& stream, const std::string& type) {
    opened();
    if (type == "audio/mid") return std::make_shared<PlayerImpl>(stream, type);
    if (type == "audio/wav" || type == "audio/mpeg") return std::make_shared<PlayerImplMP3>(stream, type);
    return nullptr;
}

std::shared_ptr<Player> Manager::createPlayer(const std::string&) {
    opened();
    return nullptr;
}

std::optional<std::vector<std::string>> Manager::getSupportedContentTypes(const std::string&) {
    opened();
    return std::nullopt;
}

std::optional<std::vector<std::string>> Manager::getSupportedProtocols(const std::string&) {
    opened();
    return std::nullopt;
}

void Manager::playTone(int, int, int) { opened(); }

}  // namespace javax::microedition::media
