// Rows for a log view control (the link view): what the application gives it
// to show. The view keeps the newest rows within its bounds and draws them
// from the event loop, at most every 100 ms; giving it a row draws nothing.
#pragma once

#include <string>

struct LogRow {
  long long id = 0;    // increasing; a row given again with the same id replaces it
  int level = 0;       // 0: top level; 1: inside the group above
  bool header = false; // a group's header row
  int tone = 0;        // 0 plain, 1 good news (acknowledged), 2 bad news (refused, no answer, ...)
  std::string time;
  std::string direction;
  std::string payload;
  std::string bytes;
  std::string verdict;
};

// Adds the row, or replaces the one with its id (when that is still kept).
int PutLogRow(int panel, int control, const LogRow &row);
