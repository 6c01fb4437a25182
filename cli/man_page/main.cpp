// Writes nuvaroctl(1) from its template: each download's synopsis and the
// parameter options from the parameter table, and the download examples from
// cli/download-examples.txt, so that the page follows a new parameter with no
// edit of its own. Run by the build (packaging/Packaging.cmake).
//
//   nuvaroctl_man_page TEMPLATE EXAMPLES OUTPUT
//
// In the template, @DOWNLOAD_FIXED_SYNOPSIS@, @DOWNLOAD_SWEEP_SYNOPSIS@ and
// @PARAMETER_OPTIONS@ stand on lines of their own; @DOWNLOAD_FIXED@ and
// @DOWNLOAD_SWEEP@ inside a line are that mode's example arguments. A token
// left over, or a mode without its example, is an error: nothing is written.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/parameters.h"

namespace {

// Text for troff: a hyphen is the minus sign that options need, a backslash
// is printed as itself.
std::string Roff(const std::string &text) {
  std::string out;
  for (const char c : text)
    out += c == '-' ? "\\-" : c == '\\' ? "\\e" : std::string(1, c);
  return out;
}

std::string Synopsis(bool sweep) {
  std::string out = ".B nuvaroctl \\-\\-port\n.IR PATH | demo\n.B download ";
  out += sweep ? "sweep\n" : "fixed\n";
  for (const ParameterRow *p : cli::OptionParameters())
    if (cli::NeededIn(*p, sweep))
      out += std::string(".B \\-\\-") + Roff(p->option) + "\n.I " + p->placeholder + "\n";
  return out + ".RB [ \\-\\-json ]";
}

std::string Options() {
  std::string out;
  for (const ParameterRow *p : cli::OptionParameters()) {
    std::string meaning = p->meaning;
    const char *mode = p->sentIn == SENT_IN_FIXED_RATE ? "Fixed-rate mode: "
                       : p->sentIn == SENT_IN_SWEEP    ? "Sweep mode: "
                                                       : "";
    if (!*mode && !meaning.empty())
      meaning[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(meaning[0])));
    if (!out.empty())
      out += "\n.TP\n";
    out += std::string(".BI \\-\\-") + Roff(p->option) + " \" " + p->placeholder + "\"\n" + mode +
           meaning + ".";
  }
  return out;
}

// The example's words, wrapped with troff's escaped shell continuation so
// that the line after the template's "nuvaroctl --port PATH " stays short;
// an option and its value stay on one line.
std::string Example(const std::string &arguments) {
  constexpr std::size_t kWidth = 44;
  std::istringstream words(arguments);
  std::vector<std::string> units;
  for (std::string word; words >> word;) {
    if (!units.empty() && units.back().rfind("--", 0) == 0 &&
        units.back().find(' ') == std::string::npos && word.rfind("--", 0) != 0)
      units.back() += " " + word;
    else
      units.push_back(word);
  }
  std::string out, line;
  for (const std::string &unit : units) {
    if (!line.empty() && line.size() + 1 + unit.size() > kWidth) {
      out += Roff(line) + " \\e\n    ";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + unit;
  }
  return out + Roff(line);
}

bool ReadFile(const char *path, std::string *text) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream read;
  read << in.rdbuf();
  *text = read.str();
  return in.good() || in.eof();
}

// The page without the template's own comment, which speaks of the
// template, and with one saying where the page comes from.
std::string Written(const std::string &page) {
  std::size_t body = 0;
  while (page.compare(body, 3, ".\\\"") == 0 && page.find('\n', body) != std::string::npos)
    body = page.find('\n', body) + 1;
  return ".\\\" Written by the build from packaging/man/nuvaroctl.1.in, the parameter table\n"
         ".\\\" and cli/download-examples.txt: edit those, not this page.\n" +
         page.substr(body);
}

bool Replace(std::string &text, const std::string &token, const std::string &with) {
  bool found = false;
  for (std::size_t at; (at = text.find(token)) != std::string::npos; found = true)
    text.replace(at, token.size(), with);
  return found;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 4) {
    std::cerr << "usage: nuvaroctl_man_page TEMPLATE EXAMPLES OUTPUT\n";
    return 2;
  }
  std::string page, examples;
  if (!ReadFile(argv[1], &page) || !ReadFile(argv[2], &examples)) {
    std::cerr << "nuvaroctl_man_page: cannot read " << argv[1] << " or " << argv[2] << "\n";
    return 1;
  }
  std::string fixed, sweep;
  std::istringstream lines(examples);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("download fixed ", 0) == 0)
      fixed = line;
    else if (line.rfind("download sweep ", 0) == 0)
      sweep = line;
  }
  const bool complete = !fixed.empty() && !sweep.empty() &&
                        Replace(page, "@DOWNLOAD_FIXED_SYNOPSIS@", Synopsis(false)) &&
                        Replace(page, "@DOWNLOAD_SWEEP_SYNOPSIS@", Synopsis(true)) &&
                        Replace(page, "@PARAMETER_OPTIONS@", Options()) &&
                        Replace(page, "@DOWNLOAD_FIXED@", Example(fixed)) &&
                        Replace(page, "@DOWNLOAD_SWEEP@", Example(sweep));
  std::smatch left;
  if (!complete || std::regex_search(page, left, std::regex("@[A-Z_]+@"))) {
    std::cerr << "nuvaroctl_man_page: " << argv[1] << " and " << argv[2]
              << " do not fit: a token or an example is missing or unknown\n";
    return 1;
  }
  std::ofstream out(argv[3], std::ios::binary);
  out << Written(page);
  out.close();
  if (!out) {
    std::cerr << "nuvaroctl_man_page: cannot write " << argv[3] << "\n";
    std::remove(argv[3]);
    return 1;
  }
  return 0;
}
