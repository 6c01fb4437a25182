// Progress on the button whose callback blocks.
//
// While a callback started by a command button blocks in Delay, the button can
// say what the program is waiting for ("下载中 T45, 2/5"). Each time Delay
// blocks, the text source is asked; a text that is new is put on the button
// and that one widget is repainted at once, without running the event loop
// (nothing else is drawn and no input is taken). The button's own text, and
// its keyboard shortcut, come back when the busy state ends: before a popup
// appears and when the callback returns. Its colour is left alone.
#pragma once

#include <string>

// What the button should say now; "" leaves it as it is. nullptr: no progress.
using BusyTextSource = std::string (*)();
void SetBusyText(BusyTextSource source);
