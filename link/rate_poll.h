// The rate poll, as the rate monitor makes it on each timer tick and
// nuvaroctl's rate command once per reading: a poll goes out only when
// nothing is waiting, and a reading is what the waiting bytes say when they
// are a rate report. The answer to a poll is read later (the next tick).
#pragma once

// Sends "?1," when nothing is waiting on portNumber. Returns the count of
// bytes GetInQLen found waiting (0 when it polled); negative when the port
// failed, and nothing is sent then.
int PollRate();

// Takes everything waiting (ChInQu). 1, with the rate in `rate`, when it was
// a rate report: the number the meter shows; 0 otherwise.
int TakeRate(int *rate);
