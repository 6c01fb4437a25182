// Frames on the port: sending a command, taking a reply and reading it, in the
// link's process-wide buffers. The frame's layout is in frame_codec.h.
#pragma once

constexpr int FRAME_BUFFER_SIZE = 200;

extern int portNumber;
extern char buf[FRAME_BUFFER_SIZE];       // command text, NUL-terminated
extern char send_data[FRAME_BUFFER_SIZE]; // outgoing frame
extern char read_data[FRAME_BUFFER_SIZE]; // bytes taken by the last ChInQu that found any

// Frames `text` and writes it to portNumber; returns the byte count written.
// In a group, the line's account notes the try.
int SendOrder(const char *text);
// 1 when the bytes waiting on portNumber start with a valid reply frame.
// Takes every waiting byte: the first 199 land in read_data, the rest are
// discarded. The line's account decodes all of them (link/line_account.h).
int ChInQu();

// Takes every byte waiting on portNumber into the line's account, leaving
// read_data as it is: the look after a group's last command. Returns the
// count taken, or a negative COM_ERR_ code.
int TakeWaiting();
// Discards what waits on portNumber, the line's account looking at it first.
int DiscardWaiting();

// The number of the reply in read_data after ChInQu returned 1: the decimal
// number that follows the reply letter, read from the payload only (never
// from the checksum byte). Stops at the first non-digit, as atoi does.
int ReplyNumber();
// 1 when that number is written exactly as the device writes a number: an
// optional minus and decimal digits with no leading zero, within the int
// range, and nothing else after the letter.
int ReplyNumberIsPlain();
// The reply letter (byte 2 of read_data); 0x00 for a frame with no payload.
char ReplyLetter();
