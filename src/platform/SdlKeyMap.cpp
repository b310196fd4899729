#include "platform/SdlWindow.h"

namespace platform {

KeyEvent keyEventFromSdl(const SDL_KeyboardEvent& e) {
    KeyEvent k;
    k.pressed = e.type == SDL_KEYDOWN;
    SDL_Keycode sym = e.keysym.sym;
    if (sym >= SDLK_a && sym <= SDLK_z)
        k.keyCode = 'A' + (sym - SDLK_a);
    else if (sym == SDLK_LEFT)
        k.keyCode = 37;
    else if (sym == SDLK_UP)
        k.keyCode = 38;
    else if (sym == SDLK_RIGHT)
        k.keyCode = 39;
    else if (sym == SDLK_DOWN)
        k.keyCode = 40;
    else if (sym == SDLK_RETURN)
        k.keyCode = 10;
    else if (sym == SDLK_ESCAPE)
        k.keyCode = 27;
    else if (sym == SDLK_SPACE)
        k.keyCode = 32;
    else if (sym == SDLK_F11)
        k.keyCode = 122;
    return k;
}

}  // namespace platform
