#include "game/stage/CrashPanels.h"

#include <string>

#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/stage/CrashStage.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/Popup.h"
#include "game/ui/TextPanel.h"
#include "game/world/GameWorld.h"

namespace game::stage {

using world::GameWorld;

namespace {

constexpr int W = MainCanvas::kScreenWidth, H = MainCanvas::kScreenHeight;

TextPanel& panel() { return GameWorld::state().resultsPanel; }

std::string text(int id) { return MainCanvas::text(id).value_or(""); }

// Where the stage's panels stand: the full width from a quarter down, tall
// enough that the window (which keeps the panel's height less its origin)
// holds four lines; titles in the softkey font, text in the body font.
constexpr int kPanelHeight = H / 2 + 80;

void place(TextPanel& p) {
    p.setStyle(2);
    const auto& fonts = Brindle::shared().fonts;
    p.setFonts(fonts[0], fonts[1], fonts[1]);
    // The scroll arrows' room comes out of the view, so it is added back.
    const TextPanel::Shared& shared = TextPanel::shared();
    p.setBounds(5, H / 4, W - 10, kPanelHeight + shared.upArrowHeight + shared.downArrowHeight);
}

void line(TextPanel& p, int index, const std::string& label) { p.setItem(index, TextPanel::ITEM_STATIC, label, {}, -1); }

std::string targetsLine() {
    return text(CrashStage::kTargetsText) + " " + std::to_string(GameWorld::destroyedTargets()) + " / " +
           std::to_string(GameWorld::placedTargets());
}

}  // namespace

void CrashPanels::showPopup(int textId) {
    Popup::show(text(textId));
    Popup::open();
}

void CrashPanels::closePopup() { Popup::close(); }
void CrashPanels::updatePopup(int dt) { Popup::update(dt); }
void CrashPanels::drawPopup(Graphics& g) { Popup::draw(g); }

void CrashPanels::buildResults(int grade) {
    const auto& s = CrashStage::state();
    TextPanel& p = panel();
    p.setup(TextPanel::MODE_LIST, 4, TextPanel::LAYOUT_CENTRE_ITEMS);
    line(p, 0, text(grade >= 3 ? CrashStage::kPerfectText : CrashStage::kClearedText));
    line(p, 1, targetsLine());
    line(p, 2, text(CrashStage::kGoalText) + " " + std::to_string(GameWorld::state().targetCount));
    line(p, 3, text(CrashStage::kScoreText) + " " + std::to_string(s.score));
    p.setSoftkeyCommand(0, CrashStage::kCommandConfirm);
    p.setSoftkeyCommand(1, -1);
    place(p);
}

void CrashPanels::buildFailure() {
    TextPanel& p = panel();
    p.setup(TextPanel::MODE_TEXT, 3, 0);
    line(p, 0, text(CrashStage::kFailedText));
    line(p, 1, targetsLine());
    line(p, 2, text(CrashStage::kGoalText) + " " + std::to_string(GameWorld::state().targetCount));
    place(p);
    p.setSoftkeyCommand(0, CrashStage::kCommandRetry);
    p.setSoftkeyCommand(1, CrashStage::kCommandLevels);
    p.reset();
}

void CrashPanels::resumePanel() { panel().reset(); }
void CrashPanels::panelKey(int code, int type) { panel().handleKey(code, type); }
void CrashPanels::updatePanel(int dt) { panel().update(dt); }
void CrashPanels::drawPanel(Graphics& g, int t) { PanelWindow::drawPanelWindow(g, panel(), t, false); }

}  // namespace game::stage
