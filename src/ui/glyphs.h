#pragma once
// The toolbar pictures and the window icon, drawn by code so that no binary
// artwork has to be kept. Glyphs are 32 x 32, opaque, on white (the buttons
// leave white out); the icon is 48 x 48 with an alpha channel.
#include <QImage>

namespace vantrel::ui::glyphs {

inline constexpr int GlyphSize = 32;
inline constexpr int IconSize = 48;

QImage FolderWithLock(); // Add files
QImage Folder();         // Folder to upload files
QImage OpenLock();       // Run
QImage StopSquare();     // Stop
QImage BlankSheet();     // Open file

QImage WindowIcon();

} // namespace vantrel::ui::glyphs
