// The clock behind Delay and behind in-process devices' reply latency. Tests
// swap in a VirtualClock so that waits and retries take no wall time.
#pragma once

namespace rt {

class Clock {
public:
  virtual ~Clock() = default;
  // Seconds since an arbitrary start.
  virtual double Now() = 0;
  // Blocks the calling thread for `seconds` without running the event loop.
  virtual void Sleep(double seconds) = 0;
};

class SteadyClock final : public Clock {
public:
  double Now() override;
  void Sleep(double seconds) override;
};

// Time moves only when somebody sleeps on it (or Advance is called).
class VirtualClock final : public Clock {
public:
  double Now() override { return now_; }
  void Sleep(double seconds) override;
  void Advance(double seconds) { Sleep(seconds); }

private:
  double now_ = 0.0;
};

Clock &CurrentClock();
// nullptr restores the steady clock. The caller keeps ownership.
void SetClock(Clock *clock);

// Installs a clock for the lifetime of a scope.
class ScopedClock {
public:
  explicit ScopedClock(Clock &clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock &) = delete;
  ScopedClock &operator=(const ScopedClock &) = delete;

private:
  Clock *previous_;
};

} // namespace rt
