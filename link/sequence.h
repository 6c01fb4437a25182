// The acknowledged sequences on an open port, shared by the panel's callbacks
// (send, Comm) and by nuvaroctl: the download of Settings and the link check.
// Neither opens the port nor touches the panel; both leave their result in
// commOk.
#pragma once

extern int commOk; // 1 while every command of a sequence has been acknowledged

// The download of Settings to the device on portNumber: the settle wait, the
// flush of what the device sent before, the signal-mode command and, only
// when the device took it, the commands of the other parameters its work
// mode sends (the parameter table says which; their order is written in
// sequence.cpp), each through order. Returns commOk: 1 when every command
// sent was acknowledged, and the line's account found no refusal that the
// exchange could not count (link/line_account.h; lineAccount holds its verdict).
int DownloadSettings();

// The link check: "Q1" through order, with the same account. Returns commOk.
int CheckLink();
