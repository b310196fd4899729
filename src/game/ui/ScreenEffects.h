// Class-wide screen effects: the screen shake that stands in for the
// handset's vibration, a linear fade value, translucent and scaled copies
// of a picture (the splash sequence), and the gradient selection bar of the
// text panels. Time comes from the runtime's clock and the shake's offsets
// from a generator seeded with that time, so driven runs repeat exactly.
// Frame thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace javax::microedition::lcdui {
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui

namespace game {

class GameMidlet;

class ScreenEffects {
public:
    using Graphics = javax::microedition::lcdui::Graphics;
    using Image = javax::microedition::lcdui::Image;

    static constexpr int kMaxShakeMs = 10000;
    static constexpr int kShakeAmplitude = 5;
    // The frame is moved on every sixth frame of a shake.
    static constexpr int kShakeInterval = 6;
    // Behind a shifted frame.
    static constexpr int kBackgroundColour = 0x000000;

    struct BarKey {
        int w = 0, h = 0, edgeColour = 0, centreColour = 0, step = 0, keyColour = 0;
        bool capped = false;
        bool operator==(const BarKey&) const = default;
    };

    // Class-wide state, grouped so that tests can start clean.
    struct State {
        // The player's vibration setting; shakes run only while it is on.
        bool vibration = false;

        bool active = false;
        std::int64_t startTime = 0;
        int duration = 0, amplitude = 0, interval = 0, countdown = 0;
        int offsetX = 0, offsetY = 0;

        std::shared_ptr<Image> fadeSource;
        std::vector<std::int32_t> fadeColours;
        std::vector<std::uint8_t> fadeAlphas;
        int fadeAlpha = -1;
        std::shared_ptr<Image> fadeResult;

        std::shared_ptr<Image> scaleSource;
        int scaleFlag = 0, scalePercent = -1;
        std::shared_ptr<Image> scaleResult;

        BarKey barKey;
        std::shared_ptr<Image> bar;
    };
    static State& state();
    static void resetClassState();

    static void setVibration(bool on) { state().vibration = on; }
    static bool vibration() { return state().vibration; }

    // Starts (or restarts) a shake of tenths x 100 ms, at most 10 s, when
    // vibration is on. a and c are not used.
    static void shake(int a, int tenths, int c);
    static bool shaking() { return state().active; }
    // One frame through listener.paintFrame, shifted while a shake runs:
    // a new random offset (-5..4 each way) on the first frame and every
    // sixth after it, the frames between drawn unshifted.
    static void drawShaken(GameMidlet& listener, Graphics& g);

    // rising: value x t / 1000; falling: value minus that (t in ms).
    static int fadeValue(bool rising, int value, int unused, int t);
    // source with every alpha multiplied by alpha / 255 (alpha clamped to
    // 0..255); null for null. The last result is reused for the same
    // source and alpha.
    static std::shared_ptr<Image> fadedImage(int alpha, const std::shared_ptr<Image>& source);
    // source scaled by percent / 100 about its centre on a picture of the
    // same size with a transparent surround; percent 100 gives source.
    static std::shared_ptr<Image> scaledImage(int flag, int percent, const std::shared_ptr<Image>& source);
    static void releaseScaled();
    static void releaseFaded();

    // The selection bar: h / 2 bands from edgeColour at the top and bottom
    // rows to centreColour at the middle, step rows each, with round end
    // caps when capped; pixels of keyColour become transparent. Rendered
    // once per set of arguments and drawn at (x, y), TOP | LEFT. Nothing is
    // drawn for a width or height <= 0; a step <= 0 counts as 1.
    static void highlightBar(Graphics& g, int x, int y, int w, int h, int edgeColour, int centreColour, int step,
                             int keyColour, bool capped);

private:
    static std::shared_ptr<Image> renderBar(const BarKey& key);
};

}  // namespace game
