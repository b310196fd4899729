# Every third-party library the project links, found once here.
set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
# Xlib: to learn that the display went away (SDL's X11 back end).
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)
find_package(GTest REQUIRED)
