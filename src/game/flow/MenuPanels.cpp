#include "game/flow/MenuPanels.h"

#include "com/tkemuapi/Util.h"
#include "game/Brindle.h"
#include "game/MainCanvas.h"
#include "game/audio/SoundPlayer.h"
#include "game/flow/Assets.h"
#include "game/flow/StateMachine.h"
#include "game/ui/PanelWindow.h"
#include "game/ui/ScreenEffects.h"

namespace game::flow {

namespace {
constexpr int kW = MainCanvas::kScreenWidth, kH = MainCanvas::kScreenHeight;

TextPanel::FontRef font(int i) { return Brindle::shared().fonts[static_cast<std::size_t>(i)]; }

TextPanel::SpriteRef icon(int i) {
    const auto& sprites = MenuPanels::state().menuSprites;
    return i >= 0 && i < static_cast<int>(sprites.size()) ? sprites[static_cast<std::size_t>(i)] : nullptr;
}

std::optional<std::string> text(int id) { return Assets::text(id); }

void action(TextPanel& p, int index, int textId, int iconIndex, int act) {
    if (iconIndex < 0)
        p.setItem(index, TextPanel::ITEM_ACTION, text(textId), {}, act);
    else
        p.setSpriteItem(index, text(textId), icon(iconIndex), act);
}

void staticText(TextPanel& p, int index, int textId) { p.setItem(index, TextPanel::ITEM_STATIC, text(textId), {}, 0); }

void picture(TextPanel& p, int index, std::shared_ptr<javax::microedition::lcdui::Image> image) {
    std::vector<std::shared_ptr<javax::microedition::lcdui::Image>> pictures;
    if (image) pictures.push_back(std::move(image));
    p.setItem(index, TextPanel::ITEM_STATIC, std::nullopt, std::move(pictures), 0);
}

bool isStage(int s) { return s == STATE_SWING_STAGE || s == STATE_CRASH_STAGE; }
}  // namespace

MenuPanels::State& MenuPanels::state() { return Brindle::shared().menus; }

TextPanel* MenuPanels::panel(int menu) {
    State& s = state();
    if (menu < 0 || menu >= kMenus || !s.built[static_cast<std::size_t>(menu)]) return nullptr;
    return &s.panels[static_cast<std::size_t>(menu)];
}

void MenuPanels::finish(int menu, int parent, int left, int right) {
    State& s = state();
    TextPanel& p = s.panels[static_cast<std::size_t>(menu)];
    p.setSoftkeyCommand(0, left);
    p.setSoftkeyCommand(1, right);
    s.parents[static_cast<std::size_t>(menu)] = parent;
    p.layout(kW, kH);
    p.selectItem(0);
    s.built[static_cast<std::size_t>(menu)] = true;
}

void MenuPanels::textMenu(int menu, int itemCount, int flags, int titleText) {
    TextPanel& p = state().panels[static_cast<std::size_t>(menu)];
    p.setup(TextPanel::MODE_TEXT, itemCount, flags);
    p.setFonts(font(4), font(1), font(1));
    if (titleText >= 0) p.setTitle(text(titleText), nullptr);
}

void MenuPanels::createNotice(int menu, int textId) {
    State& s = state();
    TextPanel& p = s.panels[static_cast<std::size_t>(menu)];
    p.setup(TextPanel::MODE_TEXT, 2, 0);
    if (textId >= 0) staticText(p, 1, textId);
    p.setStyle(2);
    p.setSoftkeyCommand(0, CMD_OK);
    p.setFonts(font(0), font(1), font(1));
    p.setBounds(5, kH / 4, kW - 10, kH / 2);
    p.selectItem(0);
    s.parents[static_cast<std::size_t>(menu)] = -1;
    s.built[static_cast<std::size_t>(menu)] = true;
}

void MenuPanels::buildSoundQuestion() {
    State& s = state();
    s.screenImages[2] = Assets::descriptorImage(kSoundPicture);
    TextPanel& p = s.panels[1];
    p.setup(TextPanel::MODE_TEXT, 2, TextPanel::LAYOUT_CENTRE_ITEMS | TextPanel::LAYOUT_CENTRE_CONTENT);
    p.setStyle(1);
    p.setFonts(font(0), font(1), font(1));
    picture(p, 0, s.screenImages[2]);
    staticText(p, 1, 41);
    p.setSoftkeyCommand(0, CMD_YES);
    p.setSoftkeyCommand(1, CMD_NO);
    p.layoutAligned(kW, kH, false, false);
    p.selectItem(0);
    s.parents[1] = -1;
    s.built[1] = true;
}

void MenuPanels::loadMenuSprites() {
    State& s = state();
    s.menuSprites.clear();
    for (int i = 0; i < kMenuSprites; ++i) {
        const int first = kFirstMenuSprite + 4 * i;
        s.menuSprites.push_back(Assets::sprite({first, first + 1, first + 2, first + 3}, true));
    }
}

void MenuPanels::buildOptions(TextPanel& p, bool pauseMenu) {
    State& s = state();
    if (!s.knob) s.knob = Assets::sprite(kSliderKnob, false);
    if (!s.choice) s.choice = Assets::sprite(kChoiceSprite, false);
    const std::vector<std::string> offOn = {Assets::text(37), Assets::text(36)};
    p.addSlider(ROW_MUSIC, text(39), icon(8), 0, 5, ACT_MUSIC, s.knob);
    p.addSlider(ROW_EFFECTS, text(38), icon(13), 0, 5, ACT_EFFECTS, s.knob);
    p.addChoice(ROW_FULL_SCREEN, text(2), icon(16), offOn, s.choice, ACT_FULL_SCREEN);
    p.addChoice(ROW_VIBRATION, text(156), icon(11), offOn, s.choice, ACT_VIBRATION);
    if (!pauseMenu) {
        action(p, 7, 19, 10, 20);
    } else if (isStage(resumeTarget())) {
        action(p, 7, 13, 18, ACT_QUIT_TO_LEVELS);
        action(p, 8, 12, 11, ACT_RESTART_LEVEL);
    }
    p.setWideHighlight(170, 230);
}

void MenuPanels::buildMenus(bool all) {
    State& s = state();
    {
        TextPanel& p = s.panels[2];
        p.setup(TextPanel::MODE_LIST, 9, TextPanel::LAYOUT_CENTRE_ITEMS | TextPanel::LAYOUT_CENTRE_CONTENT);
        if (s.screenImages[3])
            p.setTitle(std::nullopt, s.screenImages[3]);
        else
            p.setTitle(text(7), nullptr);
        action(p, 1, 8, 9, ACT_PLAY);
        action(p, 3, 10, -1, 10);
        action(p, 5, 11, 12, 5);
        action(p, 6, 34, 2, ACT_MORE_GAMES);
        action(p, 8, 18, 0, 22);
        finish(2, -1, -1, CMD_EXIT);
    }
    textMenu(3, 1, 3, 49);
    staticText(s.panels[3], 0, 17);
    finish(3, -1, CMD_YES, CMD_NO);
    {
        TextPanel& p = s.panels[5];
        p.setup(TextPanel::MODE_LIST, 10, 3);
        p.setTitle(text(11), nullptr);
        buildOptions(p, false);
        finish(5, 2, -1, CMD_BACK);
    }
    textMenu(22, 3, 0, 18);
    staticText(s.panels[22], 0, 26);
    picture(s.panels[22], 1, Assets::descriptorImage(kAboutPicture));
    staticText(s.panels[22], 2, 27);
    finish(22, 2, -1, CMD_BACK);
    syncOptions();
    if (all) buildMoreMenus();
}

void MenuPanels::buildMoreMenus() {
    State& s = state();
    {
        TextPanel& p = s.panels[10];
        p.setup(TextPanel::MODE_LIST, 5, TextPanel::LAYOUT_CENTRE_ITEMS);
        p.setTitle(text(10), nullptr);
        const int titles[] = {81, 84, 82, 83};
        for (int i = 0; i < 4; ++i) action(p, i, titles[i], -1, 11 + i);
        p.setWideHighlight(200, 400);
        finish(10, 2, -1, CMD_BACK);
    }
    const int pageTitles[] = {81, 84, 82, 83}, pageTexts[] = {76, 78, 79, 80};
    for (int i = 0; i < 4; ++i) {
        textMenu(11 + i, 1, 0, pageTitles[i]);
        staticText(s.panels[static_cast<std::size_t>(11 + i)], 0, pageTexts[i]);
        finish(11 + i, 10, -1, CMD_BACK);
    }
    createNotice(16, 20);
    createNotice(17, 155);
    createNotice(18, -1);
    createNotice(19, 74);
    for (int m : {16, 17}) {
        s.panels[static_cast<std::size_t>(m)].setSoftkeyCommand(0, CMD_YES);
        s.panels[static_cast<std::size_t>(m)].setSoftkeyCommand(1, CMD_NO);
    }
    textMenu(20, 1, 3, 19);
    staticText(s.panels[20], 0, 20);
    finish(20, 5, CMD_YES, CMD_NO);
    // The briefing is drawn shifted right in its window: its lines wrap
    // short by the shift on both sides so they end inside the frame.
    s.panels[21].setRightReserve(2 * PanelWindow::panelOffset(STATE_BRIEFING).x);
    createNotice(21, 85);
    s.panels[21].setSoftkeyCommand(0, CMD_YES);
    s.panels[21].setSoftkeyCommand(1, CMD_NO);
    textMenu(24, 1, 3, 14);
    staticText(s.panels[24], 0, 114);
    finish(24, 4, CMD_YES, CMD_NO);
    buildPauseMenu();
    syncOptions();
    MainCanvas::clearSoftkeys();
}

int MenuPanels::resumeTarget() {
    const int previous = StateMachine::state().previousState;
    switch (previous) {
    case STATE_NONE:
    case STATE_MENU:
    case STATE_LOAD_DATA:
    case STATE_SPLASH:
    case STATE_MORE_GAMES:
    case STATE_RETURN:
    case STATE_BOOT:
    case STATE_LOADING: return STATE_NONE;
    default: return previous;
    }
}

void MenuPanels::buildPauseMenu() {
    State& s = state();
    // Not before the data loader made the menus (the icons need the pictures).
    if (!s.built[2]) return;
    TextPanel& p = s.panels[4];
    p.setup(TextPanel::MODE_LIST, 10, 3);
    p.setTitle(text(51), nullptr);
    if (resumeTarget() != STATE_NONE) action(p, 0, 9, 1, ACT_RESUME);
    buildOptions(p, true);
    finish(4, 2, -1, CMD_PAUSE_BACK);
    syncOptions();
}

bool MenuPanels::fullScreenShown() {
    State& s = state();
    const bool now = com::tkemuapi::Util::isFullScreen();
    if (s.fullScreenRequested && *s.fullScreenRequested == now) s.fullScreenRequested.reset();
    return s.fullScreenRequested.value_or(now);
}

void MenuPanels::fullScreenKeyPressed() {
    state().fullScreenRequested.reset();
    syncOptions();
}

void MenuPanels::syncOptions() {
    const int values[] = {SoundPlayer::getMusicVolume(), SoundPlayer::getEffectsVolume(), fullScreenShown() ? 1 : 0,
                          ScreenEffects::vibration() ? 1 : 0};
    for (int menu : {4, 5}) {
        TextPanel* p = panel(menu);
        if (!p) continue;
        for (int row = ROW_MUSIC; row <= ROW_VIBRATION; ++row) p->setItemValue(row, values[row - ROW_MUSIC]);
    }
}

}  // namespace game::flow
