// The words of the line protocol, each written once: the commands the program
// sends (as Fmt formats), the reply letters it reads, what an acknowledgement
// is, how often a command is tried, and which work mode a download's command
// belongs to. The download, the exchange, the link check and the rate monitor
// send and read with these; the link view's decoder reads the line with them.
// The device simulator plays the other side and keeps its own words.
#pragma once

// A download: the signal-mode command, then the angle and the width, then
// either the fixed-rate pair or the sweep's three commands. The formats of
// the operator's parameters are their rows' in the parameter table
// (app/state/parameters.h); these name them.
extern const char *const CMD_SIGNAL_MODE_ON;  // signal mode nonzero
extern const char *const CMD_SIGNAL_MODE_OFF; // signal mode 0
extern const char *const CMD_ANGLE;           // degrees
extern const char *const CMD_WIDTH;           // microseconds
extern const char *const CMD_FIXED_RATE;      // select fixed-rate operation
extern const char *const CMD_RATE;            // revolutions per minute
extern const char *const CMD_SWEEP_RANGE;     // lower bound, upper bound, step
extern const char *const CMD_REPEAT;          // repeat count of the sweep
extern const char *const CMD_SWEEP;           // select sweep operation
// The link check (a click on the communication LED) and the rate poll.
extern const char CMD_LINK_CHECK[];
extern const char CMD_RATE_POLL[];

// Every command the program sends, once each: the parameters' commands, the
// link check and the rate poll. VocabularyFormat(i) for i from 0 to
// VocabularyCount() - 1.
int VocabularyCount();
const char *VocabularyFormat(int i);

// Reply letters: an acknowledgement carries a number, 1 when the device
// accepted the command; a rate report carries the rate.
constexpr char REPLY_ACKNOWLEDGEMENT = 'E';
constexpr char REPLY_RATE = 'R';
constexpr int ACKNOWLEDGED_NUMBER = 1;

// Each command is sent up to this many times until it is accepted, and
// checked for its reply this long (seconds) after each send.
constexpr int ORDER_ATTEMPTS = 5;
constexpr double ORDER_REPLY_WAIT = 0.1;

// A download starts by waiting this long (seconds), then throwing away what
// the device sent before; its commands follow.
constexpr double DOWNLOAD_SETTLE_WAIT = 0.12;

// 1 when a reply with this letter and number accepts the command.
int IsAcceptance(char letter, int number);

// 1 when `payload` is a text the command `format` makes: the whole format,
// each "%d" in it a number as Fmt writes an int (an optional minus, no plus,
// space or leading zero) and every other character as it stands, and nothing
// after. "D50," is no sweep range "D%d,%d,%d,".
int IsCommand(const char *payload, const char *format);

// The work mode a download's command shows, when it shows one: the work
// mode's own commands and every command sent in one mode only.
constexpr int MODE_UNSHOWN = 0;
constexpr int MODE_FIXED_RATE = 1;
constexpr int MODE_SWEEP = 2;
int ModeOfCommand(const char *payload);
