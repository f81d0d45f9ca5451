// The enabled state of the menu after each command.
#include "app/core/menu_state.h"

#include <array>

namespace qx {

namespace {

enum Cell : char { Off = 0, On = 1, Keep = 2 };

// Open Image, Open Compress, Save as Restore, Save as Compress, Close, Exit, Compression, Package,
// View.
using Row = std::array<Cell, 9>;

Row RowCells(MenuRow row) {
    switch (row) {
        case MenuRow::Startup:
            return {Keep, Keep, Off, Off, Off, Keep, Off, On, Off};
        case MenuRow::Closed:
            return {On, On, Off, Off, Off, On, Off, On, Off};
        case MenuRow::PictureOpened:
            return {On, On, Off, Off, On, On, On, Off, Off};
        case MenuRow::PictureOpenFailed:
            return {On, On, Off, Off, Off, On, Off, On, Off};
        case MenuRow::Compressed:
            return {Off, Off, Off, On, On, Off, Keep, Off, On};
        case MenuRow::CompressedFileOpened:
            return {On, On, On, Off, On, Off, Off, Off, Off};
        case MenuRow::CompressedFileFailed:
            return {On, On, Off, Off, Off, On, Off, Off, Off};
        case MenuRow::CompressedFileCancelled:
            return {On, On, Off, Off, Off, On, Off, On, Off};
    }
    return {Keep, Keep, Keep, Keep, Keep, Keep, Keep, Keep, Keep};
}

void Set(bool& item, Cell cell) {
    if (cell != Keep) item = cell == On;
}

}  // namespace

void ApplyMenuRow(MenuState& menu, MenuRow row) {
    const Row cells = RowCells(row);
    Set(menu.openImage, cells[0]);
    Set(menu.openCompress, cells[1]);
    Set(menu.saveRestore, cells[2]);
    Set(menu.saveCompress, cells[3]);
    Set(menu.close, cells[4]);
    Set(menu.exit, cells[5]);
    Set(menu.compression, cells[6]);
    Set(menu.package, cells[7]);
    Set(menu.compare, cells[8]);
}

}  // namespace qx
