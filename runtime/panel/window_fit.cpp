#include "runtime/panel/window_fit.h"

#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace rt {

void FitToScreen(QWidget *window) {
  if (!window || window->isVisible())
    return; // shown already: where the operator put it
  if (QLayout *layout = window->layout())
    layout->activate();
  // The native window exists from here on, and with it the frame's size on
  // a platform that knows it before the window is shown (Windows does; an
  // X11 window manager tells only later, the offscreen platform never).
  window->winId();
  const QMargins frame =
      window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
  const QRect area = window->screen()->availableGeometry();
  const QSize room = area.size().shrunkBy(frame);
  const QSize size = window->size().boundedTo(room).expandedTo(window->minimumSizeHint());
  window->resize(size);
  const QSize outer = size.grownBy(frame);
  // A top-level widget's position is its frame's top-left.
  const int x = area.left() + std::max(0, (area.width() - outer.width()) / 2);
  const int y = area.top() + std::max(0, (area.height() - outer.height()) / 2);
  window->move(x, y);
}

} // namespace rt
