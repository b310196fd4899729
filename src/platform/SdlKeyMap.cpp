#include "platform/SdlWindow.h"

namespace platform {

namespace {

constexpr int kStandard = 1, kLeft = 2, kRight = 3, kNumpad = 4;

struct Mapping {
    SDL_Keycode sym;
    int code;
    int location;
};

// PC virtual key codes of the keys that are not letters, digits or F-keys.
constexpr Mapping kKeys[] = {
    {SDLK_BACKSPACE, 8, kStandard},  {SDLK_TAB, 9, kStandard},         {SDLK_RETURN, 10, kStandard},
    {SDLK_KP_ENTER, 10, kNumpad},    {SDLK_LSHIFT, 16, kLeft},         {SDLK_RSHIFT, 16, kRight},
    {SDLK_LCTRL, 17, kLeft},         {SDLK_RCTRL, 17, kRight},         {SDLK_LALT, 18, kLeft},
    {SDLK_RALT, 18, kRight},         {SDLK_PAUSE, 19, kStandard},      {SDLK_CAPSLOCK, 20, kStandard},
    {SDLK_ESCAPE, 27, kStandard},    {SDLK_SPACE, 32, kStandard},      {SDLK_PAGEUP, 33, kStandard},
    {SDLK_PAGEDOWN, 34, kStandard},  {SDLK_END, 35, kStandard},        {SDLK_HOME, 36, kStandard},
    {SDLK_LEFT, 37, kStandard},      {SDLK_UP, 38, kStandard},         {SDLK_RIGHT, 39, kStandard},
    {SDLK_DOWN, 40, kStandard},      {SDLK_COMMA, 44, kStandard},      {SDLK_MINUS, 45, kStandard},
    {SDLK_PERIOD, 46, kStandard},    {SDLK_SLASH, 47, kStandard},      {SDLK_SEMICOLON, 59, kStandard},
    {SDLK_EQUALS, 61, kStandard},    {SDLK_LEFTBRACKET, 91, kStandard}, {SDLK_BACKSLASH, 92, kStandard},
    {SDLK_RIGHTBRACKET, 93, kStandard}, {SDLK_KP_MULTIPLY, 106, kNumpad}, {SDLK_KP_PLUS, 107, kNumpad},
    {SDLK_KP_MINUS, 109, kNumpad},   {SDLK_KP_PERIOD, 110, kNumpad},   {SDLK_KP_DIVIDE, 111, kNumpad},
    {SDLK_DELETE, 127, kStandard},   {SDLK_NUMLOCKCLEAR, 144, kNumpad}, {SDLK_SCROLLLOCK, 145, kStandard},
    {SDLK_INSERT, 155, kStandard},
};

}  // namespace

KeyEvent keyEventFromSdl(const SDL_KeyboardEvent& e) {
    KeyEvent k;
    k.pressed = e.type == SDL_KEYDOWN;
    const SDL_Scancode sc = e.keysym.scancode;
    const SDL_Keycode sym = e.keysym.sym;
    // Keypad digits by position, so that Num Lock does not matter.
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
        k.keyCode = 97 + (sc - SDL_SCANCODE_KP_1);
        k.keyLocation = kNumpad;
    } else if (sc == SDL_SCANCODE_KP_0) {
        k.keyCode = 96;
        k.keyLocation = kNumpad;
    } else if (sym >= SDLK_a && sym <= SDLK_z) {
        k.keyCode = 'A' + (sym - SDLK_a);
    } else if (sym >= SDLK_0 && sym <= SDLK_9) {
        k.keyCode = '0' + (sym - SDLK_0);
    } else if (sym >= SDLK_F1 && sym <= SDLK_F12) {
        k.keyCode = 112 + (sym - SDLK_F1);
    } else if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
        // Layouts without Latin letters still have the letter keys.
        k.keyCode = 'A' + (sc - SDL_SCANCODE_A);
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
