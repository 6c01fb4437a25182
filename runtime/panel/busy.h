// Busy feedback while a callback blocks, and what happens to the input the
// operator gave meanwhile.
//
// Delay blocks without running the event loop, so while a callback waits (a
// download takes a few tenths of a second) the window cannot react. The first
// time Delay blocks inside a callback the mouse cursor turns busy. When the
// callback returns, the cursor comes back and the clicks, keys and wheel turns
// the operator gave while the window was frozen are dropped rather than acted
// on late: they were aimed at a panel that was not listening, and acting on
// them afterwards would, say, download twice or change a value the operator
// no longer sees.
//
// The drop happens before control goes back to the event loop: the busy
// state ends with a drain, in which the events already queued, and those the
// window system still holds (QGuiApplication::sync makes a round trip to it),
// are delivered with user input filtered out and no callback dispatched (a
// timer tick due meanwhile is dropped as well). Waiting instead for the event
// dispatcher's aboutToBlock to say the queue is empty does not work: the GLib
// dispatcher (the usual one on Linux) reports it at the start of every loop
// iteration, before it delivers what is pending, and the plain Unix
// dispatcher reports it only when the loop really sleeps, so fresh input that
// comes first would be dropped too.
//
// A popup shown from a blocking callback ends the busy state the same way
// before it appears, so that a key pressed during the wait cannot dismiss it
// unseen. Nothing is dropped when no event loop is running (a callback called
// straight from a test or from start-up code): nobody queued input for it.
#pragma once

class QWidget;

namespace rt::busy {

// Installs the hook Delay calls and the input filter. Once, by InitCVIRTE.
void Install();

// Marks a callback dispatch. When the outermost one ends, the busy state ends.
class DispatchScope {
public:
  // `control`: the widget whose event is dispatched (busy_progress.h).
  explicit DispatchScope(QWidget *control = nullptr);
  ~DispatchScope();
  DispatchScope(const DispatchScope &) = delete;
  DispatchScope &operator=(const DispatchScope &) = delete;
};

// What Delay calls each time it blocks: a stop signal caught meanwhile is
// acted on (stop_signals.h); inside a dispatch, the cursor turns busy (once)
// and the dispatch counts as having blocked.
void NoteBlocking();
// Cursor back and the button's own text with it; the serial tap's records
// are handed out (runtime/core/serial_tap.h); when the dispatch blocked, the
// input queued meanwhile is dropped as described above.
void EndBusy();

// A callback is running (possibly several, nested).
bool InDispatch();
bool CursorBusy();
// The drain is running: user input to widgets is dropped and callbacks are
// not dispatched.
bool Draining();

// The progress text on the dispatching button (busy_progress.h).
void ShowProgress(QWidget *control);
void RestoreProgress();

} // namespace rt::busy
