// The crash stage's panels: the hint band (the application's pop-up), the
// results panel with the level's counts and score, and the failure panel
// that offers the swing stage again. Both panels are the world's results
// panel, opened in a panel window.
#pragma once

namespace javax::microedition::lcdui {
class Graphics;
}

namespace game::stage {

class CrashPanels {
public:
    using Graphics = javax::microedition::lcdui::Graphics;

    static void showPopup(int textId);
    static void closePopup();
    static void updatePopup(int dt);
    static void drawPopup(Graphics& g);

    // The results of a passed level (grade 1..3): what was broken of what
    // stood, the goal and the score; confirm on the left softkey.
    static void buildResults(int grade);
    // Too few targets broken: retry on the left softkey, the level select
    // on the right.
    static void buildFailure();
    // The failure panel's softkeys again (back from the pause menu).
    static void resumePanel();
    static void panelKey(int code, int type);
    static void updatePanel(int dt);
    // The panel in its window, t ms after it opened.
    static void drawPanel(Graphics& g, int t);
};

}  // namespace game::stage
