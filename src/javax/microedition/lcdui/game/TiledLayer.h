// Inert: see Layer.
#pragma once

#include "javax/microedition/lcdui/game/Layer.h"

namespace javax::microedition::lcdui::game {

class TiledLayer : public Layer {
public:
    int getCell(int col, int row) { return 0; }
    void setCell(int col, int row, int tileIndex) {}
    void fillCells(int col, int row, int numCols, int numRows, int tileIndex) {}
    int getColumns() { return 0; }
    int getRows() { return 0; }
    int getCellWidth() { return 0; }
    int getCellHeight() { return 0; }
    int createAnimatedTile(int staticTileIndex) { return 0; }
    void setAnimatedTile(int animatedTileIndex, int staticTileIndex) {}
    int getAnimatedTile(int animatedTileIndex) { return 0; }
};

}  // namespace javax::microedition::lcdui::game
