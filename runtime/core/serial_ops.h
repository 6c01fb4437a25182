// RS-232 operations by port number. A port table maps each number to an
// endpoint: a serial device (a real port or a pseudo-terminal, opened with
// QSerialPort) or a device living in this process. Unassigned numbers use the
// platform's default device name for the number.
#pragma once

#include <functional>

// Negative results of the serial operations.
constexpr int COM_ERR_BAD_PORT = -1; // port number out of range
constexpr int COM_ERR_OPEN = -2;     // the device could not be opened or configured
constexpr int COM_ERR_NOT_OPEN = -3; // the port is not open
constexpr int COM_ERR_IO = -4;       // the device reported an error (vanished, unplugged);
                                     // the port is closed then and says so until reopened

constexpr int COM_MIN_PORT = 1;
constexpr int COM_MAX_PORT = 1000;

// Opens `port` (closing it first when it is open). An empty or null deviceName
// means the device the port table gives for the number. 0 on success.
int OpenComConfig(int port, const char *deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int outputQueueSize);
int CloseCom(int port);

// Queues `count` bytes for sending and returns, having waited at most the
// time they take on the line plus a few milliseconds: what cannot go out by
// then is dropped (a peer that does not read never holds the caller). Returns
// the count queued or a negative COM_ERR_ code.
int ComWrt(int port, const char *buffer, int count);
// Count of received bytes waiting, including those that arrived while the
// program was blocked; negative COM_ERR_ code on failure.
int GetInQLen(int port);
// Takes up to `count` waiting bytes; adds no terminator. Returns the count taken.
int ComRd(int port, char *buffer, int count);
// Discards waiting received bytes.
int FlushInQ(int port);
// Discards them as FlushInQ does, handing each piece of them to `seen` first,
// in order (but for what a flood past the drain's limit drops uncounted).
int FlushInQSeen(int port, void (*seen)(const char *bytes, int count));
// Notes on the serial tap what the program concluded of the group of commands
// it just exchanged on `port`: its verdict, and the first of its tries whose
// result is in doubt (-1: none). Nothing goes on the line.
void NoteLineVerdict(int port, int verdict, int firstInDoubt);

void DisableBreakOnLibraryErrors();
void EnableBreakOnLibraryErrors();

namespace rt {
bool IsPortOpen(int port);
// Closes every open port and forgets lost ones. The open ports are also
// closed at exit.
void CloseAllPorts();
// Lets go of what the open ports hold against other programs (a lock file,
// a terminal's exclusive use) with nothing but calls a signal handler may
// make: for a process that dies of a fault, whose ports cannot be closed the
// normal way.
void ReleasePortLocksFromSignal();
// `handler` runs each time a port is closed because its device hung up or
// failed. Until it is opened again the port answers with that error.
void OnPortLost(std::function<void(int port)> handler);
} // namespace rt
