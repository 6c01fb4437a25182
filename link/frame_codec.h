// The device frame as bytes, with no port and no run-time: "$", the length
// byte L = n + 2, the n payload bytes, the checksum (L + payload sum) mod 256,
// and a 0x00 terminator. SendOrder, ChInQu and the reply readers use these
// functions; nothing else in the program knows the frame's layout. (The
// simulator's scanner reads frames its own way, as the device does.)
#pragma once

// The length byte is one signed byte on the device: payloads longer than
// this cannot be framed.
constexpr int FRAME_LONGEST_PAYLOAD = 123;
// The payload starts after "$" and L.
constexpr int FRAME_PAYLOAD_START = 2;

// (L + payload sum) mod 256 for the `n` bytes at `payload`.
unsigned char FrameChecksum(const char *payload, int n);

// Writes the frame of the NUL-terminated `text` into `out`, terminator
// included, and returns the count of bytes to send: the frame up to its
// terminator, or up to its checksum when that is 0x00 (it then ends the frame
// itself). 0, with `out` untouched, for a null or too long text or a frame
// that does not fit `capacity` bytes.
int EncodeFrame(const char *text, char *out, int capacity);

// 1 when the `count` bytes at `bytes` are a reply frame: "$" first, then L,
// then the checksum of the bytes between as the last byte before the end of
// the run or the first 0x00. A 0x00 checksum, a 0x00 inside the payload or
// anything but "$" in front make it no reply. "$",0x00 counts as the empty
// frame (L = 0), which carries no reply letter.
int IsReplyFrame(const char *bytes, int count);

// The number a reply carries after its letter, from the `n` payload bytes at
// `payload`: optional blanks and a sign, then digits up to the first other
// byte; saturated at the int range. 0 when there is none.
int PayloadNumber(const char *payload, int n);

// 1 when the `n` bytes at `text` are an int exactly as Fmt's "%d" writes it:
// an optional minus, then digits with no leading zero (but "0"), in range.
int IsPlainNumber(const char *text, int n);

// 1 when the `count` bytes are frame-shaped but their checksum does not
// match: "$", a length byte L of 3 or more (a payload) with L < count, and a
// byte at L other than the checksum of the bytes between. Such bytes are no
// reply (IsReplyFrame says 0); this says why.
int IsFrameWithBadChecksum(const char *bytes, int count);

// The payload length n of the command frame the `count` bytes are, exactly
// as EncodeFrame makes it (terminator included, or ending at a 0x00
// checksum); the payload is at bytes + FRAME_PAYLOAD_START. -1 when they are
// no such frame.
int CommandPayloadLength(const char *bytes, int count);

// Where the payload of the frame at `frame` ends (the index of its checksum,
// L), at most `count`; below FRAME_PAYLOAD_START for a frame with no payload.
int FramePayloadEnd(const char *frame, int count);
