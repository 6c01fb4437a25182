// nuvaro-devsim's options and log lines.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sim/devsim_options.h"
#include "sim/frame_log.h"
#include "source_text.h"

namespace {

using Args = std::vector<std::string>;

std::optional<sim::DevsimOptions> Parse(const Args &args, std::string *error = nullptr) {
  std::string message;
  auto options = sim::ParseDevsimOptions(args, message);
  if (error)
    *error = message;
  return options;
}

TEST(DevsimOptions, EveryOptionSetsItsKnob) {
  auto options = Parse({"--rate", "-1200", "--latency=0.25", "--refuse", "W", "--ack-from", "3",
                        "--silent-for", "?1", "--noise", "--bad-checksum", "--trailing", "--quiet",
                        "--latency-for", "T=0.15", "--latency-for=D1,=0", "--report-every", "0.2"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->startRate, -1200);
  EXPECT_DOUBLE_EQ(options->knobs.latency, 0.25);
  EXPECT_TRUE(options->knobs.refuse);
  EXPECT_EQ(options->knobs.refusePrefix, "W");
  EXPECT_EQ(options->knobs.ackFrom, 3);
  EXPECT_TRUE(options->knobs.silent);
  EXPECT_EQ(options->knobs.silentPrefix, "?1");
  EXPECT_TRUE(options->knobs.strayByte && options->knobs.badChecksum && options->knobs.trailing);
  EXPECT_TRUE(options->quiet);
  EXPECT_FALSE(options->help);
  EXPECT_EQ(options->knobs.latencyFor,
            (std::vector<sim::PrefixLatency>{{"T", 0.15}, {"D1,", 0.0}}));
  EXPECT_DOUBLE_EQ(options->knobs.reportEvery, 0.2);
  EXPECT_EQ(Parse({"--noise-for", "R"})->knobs.strayPrefix, "R");
  EXPECT_EQ(Parse({"--hold-for", "Q"})->knobs.holdPrefix, "Q");

  // The all-commands forms clear a prefix given earlier.
  options = Parse({"--refuse", "W", "--refuse-all", "--silent-for", "T", "--silent"});
  ASSERT_TRUE(options);
  EXPECT_TRUE(options->knobs.refuse && options->knobs.refusePrefix.empty());
  EXPECT_TRUE(options->knobs.silent && options->knobs.silentPrefix.empty());
  EXPECT_TRUE(Parse({"--help"})->help);
  EXPECT_EQ(Parse({})->knobs.ackFrom, 1);
}

TEST(DevsimOptions, BadOptionsAreRefusedWithAReason) {
  for (const Args &args : std::vector<Args>{{"--bogus"},
                                            {"rate"},
                                            {"--rate"},
                                            {"--rate", "12x"},
                                            {"--rate", "99999999999"},
                                            {"--latency", "-1"},
                                            {"--latency", "nan"},
                                            {"--latency="},
                                            {"--ack-from", "0"},
                                            {"--refuse", ""},
                                            {"--latency-for", "T"},
                                            {"--latency-for", "=0.1"},
                                            {"--latency-for", "T=-1"},
                                            {"--noise-for", ""},
                                            {"--report-every", "0"},
                                            {"--noise=1"},
                                            {"--quiet=yes"}}) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

// Every "--name" that `pattern` finds in `text` (its first group).
std::set<std::string> OptionsIn(const std::string &text, const std::string &pattern) {
  std::set<std::string> names;
  const std::regex re(pattern, std::regex::multiline);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it)
    names.insert(std::regex_replace((*it)[1].str(), std::regex(R"(\\-)"), "-"));
  return names;
}

// The man page, the one place that explains the options (the usage document
// points there), names exactly the options --help gives, so that it does not
// fall behind the program.
TEST(DevsimOptions, ManPageListsTheOptionsOfHelp) {
  const std::set<std::string> help =
      OptionsIn(sim::DevsimUsage("nuvaro-devsim"), R"(^ +(--[a-z-]+))");
  ASSERT_GE(help.size(), 10u);
  const std::string man =
      Part(SourceText("packaging/man/nuvaro-devsim.1"), ".SH OPTIONS", ".SH EXIT");
  // A short form before the long one: ".BR \-h ", " \-\-help".
  EXPECT_EQ(OptionsIn(man, R"(^\.B[IR]? (?:\\-[a-z] ", " )?((?:\\-)+[a-z\\-]+))"), help) << man;
}

TEST(DevsimLog, LinesShowCommandReplyAndBadBytes) {
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {true, "F3,", {}}, "E1"}), "F3, -> E1");
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {true, "W5,", {}}, ""}), "W5, (no reply)");
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {true, std::string("T\0\\\xFF,", 5), {}}, "E0"}),
            "T\\x00\\x5C\\xFF, -> E0");
  EXPECT_EQ(sim::DescribeFrameEvent({0.0, {false, std::string("$\x05") + "F1", "incomplete"}, ""}),
            "bad frame (incomplete): 24 05 46 31");
}

} // namespace
