#pragma once
// What assistive tools see of the window: a frame named by its caption, the
// strip as a tool bar, the tool buttons named by their hints with their
// shortcuts, the label that names the key field (whose text stays hidden),
// the key-check option as a check box, and the file table as a table.

namespace vantrel::ui {

// Installs the interfaces of the window's controls and of the file table.
// Call it once the application object exists; calling it again does nothing.
void InstallAccessibleInterfaces();

} // namespace vantrel::ui
