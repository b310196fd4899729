// The sampled player, for "audio/wav" and "audio/mpeg": each start opens an
// output line and a play thread that decodes the file in 4096-byte chunks
// into it. Loop count n >= 1 plays n passes, 0 one pass, negative until
// stop(); the count is used up as passes play.
#pragma once

#include <istream>
#include <memory>
#include <string>

#include "javax/microedition/media/BasicPlayer.h"

namespace javax::microedition::media {

class PlayerImplMP3 final : public BasicPlayer {
public:
    static constexpr int kChunkBytes = 4096;
    // A source is rewound by decoding it afresh; past this many bytes read
    // it cannot be (the handset's stream mark limit).
    static constexpr std::int64_t kMarkLimit = 10 * 1024 * 1024;

    // Reads the whole stream; `type` is ignored (the data says what it is).
    PlayerImplMP3(std::istream& stream, const std::string& type);

    // Stops the player started last, if any.
    static void stopLastStarted();

    // Class-wide state, for tests.
    static void resetClassState();
    // Play threads still running (finishing ones included).
    static int playThreadCount();
    // Waits until no play thread runs; false on timeout.
    static bool waitForPlayThreads(int timeoutMs);

    struct Core;
};

}  // namespace javax::microedition::media
