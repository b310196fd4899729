// The game's top-level states (their numbers are fixed: the driver prints
// them), the softkey commands and the tunes of the screens.
#pragma once

namespace game::flow {

enum GameState : int {
    STATE_NONE = -1,
    STATE_MENU = 0,
    STATE_LOAD_DATA = 1,
    STATE_SPLASH = 2,
    STATE_INTRO = 3,
    STATE_WAIT = 5,
    STATE_NOTICE_RESET = 6,     // notice screens 6..9
    STATE_NOTICE_FINISHED = 7,
    STATE_NOTICE_ALL_LEVELS = 8,
    STATE_NOTICE_PERFECT = 9,
    STATE_LEVEL_SELECT = 13,
    STATE_MORE_GAMES = 16,
    STATE_RETURN = 17,
    STATE_GRADIENT = 18,
    STATE_REWARD = 20,
    STATE_BRIEFING = 21,
    STATE_LEVEL_SELECT_INTRO = 22,
    STATE_RELOAD = 23,
    STATE_BOOT = 24,
    STATE_LOADING = 1000,
    STATE_SWING_STAGE = 1001,
    STATE_CRASH_STAGE = 1002,
};

// Softkey commands (label text, priority: see BootLoader's command table).
enum Command : int {
    CMD_OK = 1,
    CMD_YES = 2,
    CMD_BACK = 5,
    CMD_EXIT = 6,
    CMD_NO = 7,
    CMD_PAUSE = 9,
    CMD_PAUSE_BACK = 13,
    CMD_SKIP = 14,
    CMD_TAKE_REWARD = 201,
    CMD_SELECT_LEVEL = 205,
};

// Held directions and fire, as keyBits.
enum KeyBit : int { KEY_LEFT = 1, KEY_RIGHT = 2, KEY_UP = 4, KEY_DOWN = 8, KEY_FIRE = 16 };

}  // namespace game::flow
