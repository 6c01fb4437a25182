// Frames on the port: sending a command, taking a reply and reading it, in the
// link's process-wide buffers. The frame's layout is in frame_codec.h.
#pragma once

constexpr int FRAME_BUFFER_SIZE = 200;

extern int portNumber;
extern char buf[FRAME_BUFFER_SIZE];       // command text, NUL-terminated
extern char send_data[FRAME_BUFFER_SIZE]; // outgoing frame
extern char read_data[FRAME_BUFFER_SIZE]; // bytes taken by the last ChInQu that found any

// Frames `text` and writes it to portNumber; returns the byte count written.
int SendOrder(const char *text);
// 1 when the bytes waiting on portNumber start with a valid reply frame.
// Takes every waiting byte: the first 199 land in read_data, the rest are
// discarded.
int ChInQu();

// The number of the reply in read_data after ChInQu returned 1: the decimal
// number that follows the reply letter, read from the payload only (never
// from the checksum byte). Stops at the first non-digit, as atoi does.
int ReplyNumber();
// The reply letter (byte 2 of read_data); 0x00 for a frame with no payload.
char ReplyLetter();
