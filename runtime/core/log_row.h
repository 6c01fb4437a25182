// One row of a log view (the link view): what the link view's decoder makes
// of the line and nuvaroctl prints. Putting it into a view is a panel
// operation (log_view_ops.h).
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
