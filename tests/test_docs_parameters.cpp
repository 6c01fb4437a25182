// The documents' words about the operator's parameters against their one
// source each: the command table of docs/protocol.md against the vocabulary
// and the parameters' work modes, its download times against the expected
// download, and the usage document's description of the window and its
// table of what each parameter takes against the panel file's controls. A
// parameter new to the table fails here until the documents say it.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/state/parameters.h"
#include "expected_download.h"
#include "link/vocabulary.h"
#include "runtime/core/panel_limits.h"
#include "source_text.h"

namespace {

// The `...` spans of the first column of the table headed "| command |",
// one list a row.
std::vector<std::vector<std::string>> CommandColumn(const std::string &document) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(Part(document, "| command |", "\n"));
  static const std::regex span("`([^`]*)`");
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("| ", 0) != 0)
      continue;
    const std::string cell = line.substr(0, line.find('|', 1));
    rows.emplace_back();
    for (std::sregex_iterator i(cell.begin(), cell.end(), span), end; i != end; ++i)
      rows.back().push_back((*i)[1]);
  }
  return rows;
}

// A command's format as the table writes it: each "%d" a <name>.
std::regex FormatPattern(const std::string &format) {
  std::string pattern;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format.compare(i, 2, "%d") == 0) {
      pattern += "<[^<>]+>";
      ++i;
    } else if (std::string("\\^$.|?*+()[]{}").find(format[i]) != std::string::npos) {
      pattern += std::string("\\") + format[i];
    } else {
      pattern += format[i];
    }
  }
  return std::regex(pattern);
}

// The row that holds the command `format` makes, or -1 for none.
int RowOf(const std::vector<std::vector<std::string>> &table, const std::string &format) {
  const std::regex pattern = FormatPattern(format);
  for (std::size_t row = 0; row < table.size(); ++row)
    for (const std::string &span : table[row])
      if (std::regex_match(span, pattern))
        return static_cast<int>(row);
  return -1;
}

// Every command of the vocabulary is in the table; a parameter sent in one
// work mode only shares its row with that mode's own command (`F1,` or `F2,`).
TEST(DocsParameters, TheCommandTableHoldsEveryCommandOfTheVocabulary) {
  const auto table = CommandColumn(SourceText("docs/protocol.md"));
  ASSERT_FALSE(table.empty());
  ASSERT_GT(VocabularyCount(), 0);
  for (int i = 0; i < VocabularyCount(); ++i)
    EXPECT_NE(RowOf(table, VocabularyFormat(i)), -1)
        << VocabularyFormat(i) << " is not in docs/protocol.md's command table";
  const ParameterRow &workMode = *ParameterOfField(&SettingsRecord::workMode);
  for (const ParameterRow &p : kParameterTable) {
    if (p.sentIn == SENT_IN_BOTH)
      continue;
    const char *mode = p.sentIn == SENT_IN_FIXED_RATE ? workMode.format : workMode.zeroFormat;
    EXPECT_EQ(RowOf(table, p.format), RowOf(table, mode))
        << p.format << " is not in the row of " << mode << " in docs/protocol.md's command table";
  }
}

// The least time of a download, written once in docs/protocol.md (the other
// documents point there) as a wait and a time a command, gives the expected
// download's floor in each mode.
TEST(DocsParameters, TheDownloadTimeGivesTheExpectedDownloadsFloors) {
  std::string document = SourceText("docs/protocol.md");
  for (char &c : document)
    if (c == '\n')
      c = ' ';
  const std::regex said("a download takes the ([0-9.]+) s wait and ([0-9.]+) s for each command");
  std::smatch match;
  ASSERT_TRUE(std::regex_search(document, match, said))
      << "docs/protocol.md does not say how long a download takes";
  for (const int workMode : {1, 0}) {
    SettingsRecord settings{};
    settings.workMode = workMode;
    const ExpectedDownload download = Expected(settings);
    EXPECT_NEAR(std::stod(match[1]) +
                    std::stod(match[2]) * static_cast<double>(download.commands.size()),
                download.floor, 1e-9)
        << (workMode ? "fixed" : "sweep") << " mode";
  }
}

// The words of the label the panel file gives a control: the text of the
// label whose buddy it is, without its mnemonic and colon ("转速(&R)：").
std::string LabelOf(const std::string &panelFile, const std::string &objectName) {
  const std::regex label("<string>([^<(]+)\\(&amp;.\\)：</string>\\s*</property>\\s*"
                         "<property name=\"buddy\">\\s*<cstring>" +
                         objectName + "</cstring>");
  std::smatch match;
  return std::regex_search(panelFile, match, label) ? match[1].str() : std::string();
}

// The usage document's description of the window names each parameter's
// control by its label's words, as a word of its own ("转速", not inside "最低转速").
TEST(DocsParameters, TheWindowDescriptionNamesEveryParametersControl) {
  const std::string panelFile = SourceText("app/nuvaro.uir");
  const std::string window = Part(SourceText("docs/usage.md"), "## The window", "## ");
  ASSERT_FALSE(window.empty());
  const auto isAscii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  for (const ParameterRow &p : kParameterTable) {
    const std::string label = LabelOf(panelFile, p.objectName);
    ASSERT_FALSE(label.empty()) << p.objectName;
    bool named = false;
    for (std::size_t at = window.find(label); at != std::string::npos && !named;
         at = window.find(label, at + 1)) {
      const std::size_t after = at + label.size();
      named = isAscii(window[at - 1]) && (after == window.size() || isAscii(window[after]));
    }
    EXPECT_TRUE(named) << label << " (" << p.name << ") is not in docs/usage.md's The window";
  }
}

// The usage document's table of what each parameter takes gives each
// parameter's control, by its label, with the range and start value the panel
// file gives it, or for a list as many choices as it has.
TEST(DocsParameters, TheRangeTableGivesEachControlsRangeAndStart) {
  const std::string panelFile = SourceText("app/nuvaro.uir");
  std::map<int, rt::ControlLimits> limits;
  std::string error;
  ASSERT_TRUE(rt::ReadControlLimits(NUVARO_SOURCE_DIR "/app/nuvaro.uir", &limits, &error)) << error;
  const std::string table = Part(SourceText("docs/usage.md"), "| Control | Takes |", "\n");
  ASSERT_FALSE(table.empty()) << "docs/usage.md has no table of what each parameter takes";
  for (const ParameterRow &p : kParameterTable) {
    const std::string label = LabelOf(panelFile, p.objectName);
    SCOPED_TRACE(label);
    const std::size_t at = table.find("\n| " + label + " | ");
    ASSERT_NE(at, std::string::npos) << "no row in docs/usage.md's table of what each takes";
    // "label | takes | start |", each cell ended by " | ".
    const std::string row = table.substr(at + 3, table.find('\n', at + 1) - at - 3) + " ";
    std::vector<std::string> cells;
    for (std::size_t from = 0, bar; (bar = row.find(" | ", from)) != std::string::npos;
         from = bar + 3)
      cells.push_back(row.substr(from, bar - from));
    ASSERT_EQ(cells.size(), 3u) << row; // the label, what it takes, the start
    const rt::ControlLimits &l = limits.at(p.control);
    if (l.ring) {
      std::size_t choices = 1;
      for (std::size_t or_ = cells[1].find(" or "); or_ != std::string::npos;
           or_ = cells[1].find(" or ", or_ + 1))
        ++choices;
      EXPECT_EQ(choices, l.choices.size()) << cells[1];
    } else {
      EXPECT_EQ(cells[1].rfind(std::to_string(l.minimum) + " to " + std::to_string(l.maximum), 0),
                0u)
          << cells[1];
      EXPECT_EQ(cells[2], std::to_string(l.start));
    }
  }
}

} // namespace
