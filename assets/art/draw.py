"""Draws every picture and animation of the game into OUT for tidepool-content.

usage: python3 draw.py ASSETS OUT

The build runs this before compiling the packs. The output is the same for
the same sources (no clocks, no randomness without a fixed seed).
"""

import os
import sys
import tomllib

# The build runs this from the source tree: keep it free of bytecode caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import interface  # noqa: E402
import screens  # noqa: E402
import tiles  # noqa: E402
import world  # noqa: E402
import backdrops  # noqa: E402
import cast  # noqa: E402
import browser  # noqa: E402
import results  # noqa: E402
import effects  # noqa: E402
from sheet import Book  # noqa: E402


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    assets, out = argv[1], argv[2]
    book = Book(assets)
    with open(os.path.join(assets, "catalogue.toml"), "rb") as fh:
        catalogue = tomllib.load(fh)
    interface.build_menu(book, catalogue["menu_sprites"]["ids"])
    interface.build(book)
    screens.build(book)
    screens.build_pictures(book)
    tiles.build(book)
    world.build_objects(book)
    world.build_finale(book)
    world.build_swing_targets(book)
    world.build_bonus(book)
    effects.build(book)
    backdrops.build(book)
    cast.build(book)
    browser.build(book)
    results.build(book)
    book.write(out)
    missing = book.missing()
    if missing:
        print("art: %d animations still use their placeholders" % len(missing))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
