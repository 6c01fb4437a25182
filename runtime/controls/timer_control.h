// A timer control: invisible on the panel, it emits ticked() every `interval`
// milliseconds while it runs. The panel starts it when shown and stops it when
// discarded or while timer callbacks are suspended. A dimmed (disabled) timer
// does not tick.
#pragma once

#include <QTimer>
#include <QWidget>

class TimerControl : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int interval READ interval WRITE setInterval)

public:
  explicit TimerControl(QWidget *parent = nullptr);

  int interval() const { return timer_.interval(); }
  // Milliseconds; values below 1 count as 1.
  void setInterval(int milliseconds);

  void start();
  void stop();
  bool isTicking() const { return timer_.isActive(); }

  // One tick now, as when the interval elapses.
  void tick();

signals:
  void ticked();

private:
  QTimer timer_;
};
