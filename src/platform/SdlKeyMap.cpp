#include "platform/KeyCodes.h"
#include "platform/SdlWindow.h"

namespace platform {

namespace {

using namespace pc;

struct Mapping {
    SDL_Keycode sym;
    int code;
    int location;
};

// PC virtual key codes of the keys that are not letters, digits or F-keys.
constexpr Mapping kKeys[] = {
    {SDLK_BACKSPACE, kBackspace, kStandard},  {SDLK_TAB, kTab, kStandard},
    {SDLK_RETURN, kEnter, kStandard},         {SDLK_KP_ENTER, kEnter, kNumpad},
    {SDLK_LSHIFT, kShift, kLeftSide},         {SDLK_RSHIFT, kShift, kRightSide},
    {SDLK_LCTRL, kControl, kLeftSide},        {SDLK_RCTRL, kControl, kRightSide},
    {SDLK_LALT, kAlt, kLeftSide},             {SDLK_RALT, kAlt, kRightSide},
    {SDLK_PAUSE, kPause, kStandard},          {SDLK_CAPSLOCK, kCapsLock, kStandard},
    {SDLK_ESCAPE, kEscape, kStandard},        {SDLK_SPACE, kSpace, kStandard},
    {SDLK_PAGEUP, kPageUp, kStandard},        {SDLK_PAGEDOWN, kPageDown, kStandard},
    {SDLK_END, kEnd, kStandard},              {SDLK_HOME, kHome, kStandard},
    {SDLK_LEFT, pc::kLeft, kStandard},        {SDLK_UP, pc::kUp, kStandard},
    {SDLK_RIGHT, pc::kRight, kStandard},      {SDLK_DOWN, pc::kDown, kStandard},
    {SDLK_COMMA, kComma, kStandard},          {SDLK_MINUS, kMinus, kStandard},
    {SDLK_PERIOD, kPeriod, kStandard},        {SDLK_SLASH, kSlash, kStandard},
    {SDLK_SEMICOLON, kSemicolon, kStandard},  {SDLK_EQUALS, kEquals, kStandard},
    {SDLK_LEFTBRACKET, kOpenBracket, kStandard}, {SDLK_BACKSLASH, kBackslash, kStandard},
    {SDLK_RIGHTBRACKET, kCloseBracket, kStandard}, {SDLK_KP_MULTIPLY, kMultiply, kNumpad},
    {SDLK_KP_PLUS, kAdd, kNumpad},            {SDLK_KP_MINUS, kSubtract, kNumpad},
    {SDLK_KP_PERIOD, kDecimal, kNumpad},      {SDLK_KP_DIVIDE, kDivide, kNumpad},
    {SDLK_DELETE, kDelete, kStandard},        {SDLK_NUMLOCKCLEAR, kNumLock, kNumpad},
    {SDLK_SCROLLLOCK, kScrollLock, kStandard}, {SDLK_INSERT, kInsert, kStandard},
};

}  // namespace

KeyEvent keyEventFromSdl(const SDL_KeyboardEvent& e) {
    KeyEvent k;
    k.pressed = e.type == SDL_KEYDOWN;
    const SDL_Scancode sc = e.keysym.scancode;
    const SDL_Keycode sym = e.keysym.sym;
    // Keypad digits by position, so that Num Lock does not matter.
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
        k.keyCode = pc::kNumpad0 + 1 + (sc - SDL_SCANCODE_KP_1);
        k.keyLocation = pc::kNumpad;
    } else if (sc == SDL_SCANCODE_KP_0) {
        k.keyCode = pc::kNumpad0;
        k.keyLocation = pc::kNumpad;
    } else if (sym >= SDLK_a && sym <= SDLK_z) {
        k.keyCode = pc::kA + (sym - SDLK_a);
    } else if (sym >= SDLK_0 && sym <= SDLK_9) {
        k.keyCode = pc::kDigit0 + (sym - SDLK_0);
    } else if (sym >= SDLK_F1 && sym <= SDLK_F12) {
        k.keyCode = pc::kF1 + (sym - SDLK_F1);
    } else if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
        // Layouts without Latin letters still have the letter keys.
        k.keyCode = pc::kA + (sc - SDL_SCANCODE_A);
    } else {
        for (const Mapping& m : kKeys)
            if (m.sym == sym) {
                k.keyCode = m.code;
                k.keyLocation = m.location;
                break;
            }
    }
    return k;
}

}  // namespace platform
