// The simulated device behind a pseudo-terminal, so that the program (or any
// serial tool) can open it by path like a real port.
//
// A service thread reads what is written to the slave side from the master,
// feeds a DeviceModel with steady-clock times, and writes each reply to the
// master once its latency has passed. The terminal is raw both ways: bytes
// pass unaltered, with no echo.
//
// PtyDevice keeps one descriptor of the slave open for its whole life. Without
// it the master reports a hang-up (and reads fail with EIO) whenever no one
// has the slave open, for example between the program closing the port and
// opening it again. That descriptor is never read, so it takes no bytes away
// from the real opener; replies written while nobody has the port open wait
// in the terminal's input queue, as they would on a real line.
//
// POSIX only: elsewhere Start() fails with an explanation.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "sim/device_model.h"

namespace sim {

class PtyDevice {
public:
  explicit PtyDevice(std::shared_ptr<DeviceModel> model);
  ~PtyDevice();
  PtyDevice(const PtyDevice &) = delete;
  PtyDevice &operator=(const PtyDevice &) = delete;

  // Opens the pseudo-terminal and starts serving it. False (and `error` set
  // when given) if the terminal cannot be set up.
  bool Start(std::string *error = nullptr);
  // Stops the service thread and closes the terminal. Safe to call twice.
  void Stop();
  bool Running() const { return thread_.joinable(); }

  // "/dev/pts/N" once started.
  const std::string &SlavePath() const { return slavePath_; }
  DeviceModel &Model() { return *model_; }

  // Seconds on the clock the model sees (steady, from construction).
  double Now() const;

  // Called on the service thread for every frame and rejected candidate.
  void SetFrameLog(std::function<void(const FrameEvent &)> log);

private:
  void Serve();
  void CloseAll();

  std::shared_ptr<DeviceModel> model_;
  std::chrono::steady_clock::time_point epoch_;
  std::string slavePath_;
  int master_ = -1;
  int slaveKeeper_ = -1;
  int wakeRead_ = -1; // the stop request arrives on this pipe
  int wakeWrite_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

} // namespace sim
