// nuvaroctl's words against the parameter table it takes its download
// options from: the man page the build writes names each parameter where its
// mode's synopsis lists options and describes it under OPTIONS, and every
// download example (cli/download-examples.txt, which the page, the package
// test and the Windows checks take theirs from, and any in the docs) gives
// each option its mode needs.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/parameters.h"
#include "source_text.h"

namespace {

using Names = std::set<std::string>;

// The page's text from the line ".SH <section>" to the next section.
std::string Section(const std::string &page, const std::string &section) {
  return Part(page, ".SH " + section + "\n", ".SH ");
}

// Every "--name" in `troff`, its escaped hyphens read as hyphens.
Names Options(std::string troff) {
  for (std::size_t at; (at = troff.find("\\-")) != std::string::npos;)
    troff.replace(at, 2, "-");
  static const std::regex option("--([a-z][a-z-]*)");
  Names names;
  for (std::sregex_iterator i(troff.begin(), troff.end(), option), end; i != end; ++i)
    names.insert((*i)[1]);
  return names;
}

TEST(NuvaroctlManPage, EachModesSynopsisAndTheOptionsNameItsParameters) {
  const std::string page = FileText(NUVARO_BINARY_DIR "/packaging/nuvaroctl.1");
  // It says where it comes from, not what the template says of itself.
  EXPECT_EQ(page.rfind(".\\\" Written by the build from packaging/man/nuvaroctl.1.in", 0), 0u);
  EXPECT_EQ(page.find("this file"), std::string::npos);

  // The synopsis: one entry a line of use, entries apart by ".br".
  const std::string synopsis = Section(page, "SYNOPSIS");
  ASSERT_FALSE(synopsis.empty());
  for (const bool sweep : {false, true}) {
    const std::string mode = sweep ? "download sweep" : "download fixed";
    SCOPED_TRACE(mode);
    const std::size_t at = synopsis.find(mode);
    ASSERT_NE(at, std::string::npos);
    const std::size_t from = synopsis.rfind(".br", at), to = synopsis.find(".br", at);
    const std::string entry =
        synopsis.substr(from == std::string::npos ? 0 : from,
                        to == std::string::npos ? std::string::npos : to - from);
    Names expected = {"port", "json"};
    for (const ParameterRow *p : cli::OptionParameters())
      if (cli::NeededIn(*p, sweep))
        expected.insert(p->option);
    EXPECT_EQ(Options(entry), expected);
  }

  // Under OPTIONS, each parameter's option heads a paragraph.
  std::string headings;
  std::istringstream options(Section(page, "OPTIONS"));
  for (std::string line; std::getline(options, line);)
    if (line.rfind(".B", 0) == 0)
      headings += line + "\n";
  const Names described = Options(headings);
  for (const ParameterRow *p : cli::OptionParameters())
    EXPECT_EQ(described.count(p->option), 1u) << "--" << p->option;
}

// Every example that downloads (a line, its continuations joined, with
// "download fixed" or "download sweep" and either --port, a shell array of
// the arguments, or, in the examples file, the line's start) gives each
// option its mode needs, as nuvaroctl refuses the download without one. The
// examples file and the page hold one for each mode; the documents and
// scripts are read for any written out by hand.
TEST(NuvaroctlDocs, EachDownloadExampleGivesEveryOptionItsModeNeeds) {
  const std::string examplesFile = NUVARO_SOURCE_DIR "/cli/download-examples.txt";
  const std::string page = NUVARO_BINARY_DIR "/packaging/nuvaroctl.1";
  std::vector<std::string> files = {examplesFile};
#ifndef _WIN32 // the page is written by the Linux build
  files.push_back(page);
#endif
  for (const char *name :
       {"docs/usage.md", "docs/windows.md", "scripts/package-test.sh",
        "scripts/windows-checks/20-zip.sh", "scripts/windows-checks/50-com-nuvaroctl.sh",
        "scripts/windows-checks/57-network-nuvaroctl.sh"})
    files.push_back(std::string(NUVARO_SOURCE_DIR "/") + name);
  for (const std::string &name : files) {
    SCOPED_TRACE(name);
    std::ifstream file(name);
    ASSERT_TRUE(file.good());
    int examples = 0;
    std::string joined;
    for (std::string line; std::getline(file, line);) {
      // A shell continuation, or troff's escaped one.
      const bool continues = !line.empty() && line.back() == '\\';
      const bool troffContinues = line.size() > 1 && line.substr(line.size() - 2) == "\\e";
      joined += line.substr(0, line.size() - (troffContinues ? 2 : continues ? 1 : 0)) + " ";
      if (continues || troffContinues)
        continue;
      Names given = Options(joined);
      for (const bool sweep : {false, true}) {
        const bool example = given.count("port") ||
                             joined.find("=(download ") != std::string::npos ||
                             joined.rfind("download ", 0) == 0;
        if (!example ||
            joined.find(sweep ? "download sweep" : "download fixed") == std::string::npos)
          continue;
        ++examples;
        for (const ParameterRow *p : cli::OptionParameters()) {
          if (cli::NeededIn(*p, sweep)) {
            EXPECT_EQ(given.count(p->option), 1u) << "--" << p->option << " in: " << joined;
          }
        }
      }
      joined.clear();
    }
    if (name == examplesFile || name == page) {
      EXPECT_EQ(examples, 2) << "one example for each mode";
    }
  }
}

} // namespace
