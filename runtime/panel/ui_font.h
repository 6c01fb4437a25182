// The font the panel's widgets draw with, when the system's own is missing.
//
// On Windows Qt takes the system's dialog font. A system that names one it
// does not have (Wine without its Tahoma: "MS Shell Dlg" stands for Tahoma)
// leaves Qt to pick an arbitrary installed family, and Qt's line edits draw
// no text at all in some of them (a mathematics font): every number box and
// the port choice were blank while labels and lists showed. Then the first
// installed family of a list of user-interface fonts with Chinese or Latin
// glyphs is taken instead, at the same size. Nothing changes where the
// system's font is installed, nor off Windows.
#pragma once

class QApplication;

namespace rt {

void UseAnInstalledUiFont(QApplication &app);

} // namespace rt
