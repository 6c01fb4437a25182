// The list of ports the operator can choose from: the serial ports the system
// reports (read afresh on every call), device paths the operator typed, and
// built-in in-process devices. Every entry has a number in the port table.
#pragma once

#include <string>
#include <vector>

namespace rt {

struct PortChoice {
  int port = 0;         // number in the port table
  std::string label;    // what the operator sees: "ttyUSB0 — USB serial", "COM3", ...
  std::string path;     // device path ("" for a built-in device)
  bool builtIn = false; // an in-process device
  bool typed = false;   // a path the operator typed
};

// A serial port as the system reports it.
struct SystemPort {
  std::string name;        // "COM3", "ttyUSB0"
  std::string location;    // the path it opens by: \\.\COM3, "/dev/ttyUSB0"
  std::string description; // "USB Serial Port", or empty
};

// The choices for the system's ports, in the order given: labelled "COM3 —
// USB Serial Port" (the name alone without a description), each with its
// operator's name as its path and its number in the port table (assigned on
// first use).
std::vector<PortChoice> SystemPortChoices(const std::vector<SystemPort> &ports);

// The form of a device path that tells ports apart: on Windows a port name
// ignores case and may carry the device namespace prefix, so "com12" and
// \\.\COM12 are both "COM12"; a POSIX path is a file name, taken as it is.
std::string PortPathKey(const std::string &path);

// The name an operator types for a device path, which the list shows and the
// port table keeps: on Windows a COM port in capitals without the device
// namespace (com10 and \\.\COM10 are COM10); any other path as it is.
std::string OperatorPortName(const std::string &path);

// Lists an in-process device (already assigned to `port`) under `label`.
void AddBuiltInPortChoice(int port, const std::string &label);
// The number for a device path, assigning a free one (and its port table
// entry) on first use; paths with the same PortPathKey share a number. On
// Windows "COMn" is number n. Returns a negative
// COM_ERR_ code for an empty path or when no number is free.
int PortNumberForPath(const std::string &path);
// Remembers a path the operator typed, so that it stays in the list.
int AddTypedPortChoice(const std::string &path);
// System ports first (in the order the system reports them), then typed paths,
// then built-in devices.
std::vector<PortChoice> CurrentPortChoices();

} // namespace rt
