// Key codes, named once. PC keys arrive as the desktop's virtual key codes
// with a location (left or right modifier, numeric keypad); the shell maps
// some of them to the handset's codes, whose defaults ("Generic") and the
// SI-SL55 keymap are here too. The game reads several PC codes directly.
#pragma once

namespace platform {

namespace pc {

// Where on the keyboard a key sits.
enum Location : int { kStandard = 1, kLeftSide = 2, kRightSide = 3, kNumpad = 4 };

constexpr int kBackspace = 8, kTab = 9, kEnter = 10, kShift = 16, kControl = 17, kAlt = 18, kPause = 19,
              kCapsLock = 20, kEscape = 27, kSpace = 32, kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36,
              kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kComma = 44, kMinus = 45, kPeriod = 46,
              kSlash = 47, kSemicolon = 59, kEquals = 61, kOpenBracket = 91, kBackslash = 92,
              kCloseBracket = 93, kMultiply = 106, kAdd = 107, kSubtract = 109, kDecimal = 110, kDivide = 111,
              kDelete = 127, kNumLock = 144, kScrollLock = 145, kInsert = 155;
// Ranges: main-keyboard digits, letters, keypad digits, function keys.
constexpr int kDigit0 = 48, kDigit9 = 57, kA = 65, kZ = 90, kNumpad0 = 96, kNumpad9 = 105, kF1 = 112,
              kF12 = 123;
// Switches full screen.
constexpr int kF11 = 122;

}  // namespace pc

namespace phone {

// The codes a canvas gets for the directions, fire and the two softkeys.
struct KeySet {
    int up, down, left, right, fire, leftSoftKey, rightSoftKey;
};
constexpr KeySet kGenericKeys{-1, -2, -3, -4, -5, -6, -7};
constexpr KeySet kSiemensSL55Keys{-59, -60, -61, -62, -5, -1, -4};

constexpr int kUp = kGenericKeys.up, kDown = kGenericKeys.down, kLeft = kGenericKeys.left,
              kRight = kGenericKeys.right, kFire = kGenericKeys.fire, kLeftSoftKey = kGenericKeys.leftSoftKey,
              kRightSoftKey = kGenericKeys.rightSoftKey;
// The keypad digits 0..9.
constexpr int kNum0 = 48;

}  // namespace phone

}  // namespace platform
