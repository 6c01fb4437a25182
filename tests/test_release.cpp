// One version and one release date, written in CMakeLists.txt: the copies
// written by hand are held to them, and the Debian changelog the build writes
// from them has its day of the week right.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>

#include "source_text.h"

namespace {

constexpr const char *kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

TEST(Release, EachCopyOfTheVersionAndItsDateIsTheBuilds) {
  const std::string version = NUVARO_VERSION, date = NUVARO_RELEASE_DATE;
  std::smatch m;
  const std::regex ymd(R"((\d{4})-(\d\d)-(\d\d))");
  ASSERT_TRUE(std::regex_match(date, m, ymd)) << date;
  const int year = std::stoi(m[1]), month = std::stoi(m[2]);
  [[maybe_unused]] const int day = std::stoi(m[3]); // the Debian changelog's, Linux only

  // The newest release comes first in each.
  const std::string metainfo = SourceText("packaging/org.example.nuvaro.metainfo.xml");
  ASSERT_TRUE(std::regex_search(metainfo, m,
                                std::regex(R"re(<release version="([^"]*)" date="([^"]*)")re")));
  EXPECT_EQ(m.str(1), version) << "the metainfo's newest <release>";
  EXPECT_EQ(m.str(2), date) << "the metainfo's newest <release>";
  const std::string changelog = SourceText("packaging/changelog");
  EXPECT_EQ(changelog.substr(0, changelog.find('\n')), "nuvaro " + version)
      << "packaging/changelog's first line";

  // A man page is dated by the month of its release.
  const std::string dated = std::string(kMonths[month - 1]) + " " + std::to_string(year);
  for (const char *page : {"packaging/man/nuvaro.1", "packaging/man/nuvaro-devsim.1",
                           "packaging/man/nuvaroctl.1.in"}) {
    const std::string text = SourceText(page);
    ASSERT_TRUE(std::regex_search(text, m, std::regex(R"re((^|\n)\.TH \S+ 1 "([^"]*)")re")))
        << page;
    EXPECT_EQ(m.str(2), dated) << page;
  }

#ifdef __linux__
  // Written by the build (packaging/Packaging.cmake): "Mon, 07 Dec 2026".
  using namespace std::chrono;
  const weekday weekDay{
      sys_days{year_month_day{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                              std::chrono::day{unsigned(day)}}}};
  constexpr const char *kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  const std::string debian = FileText(NUVARO_BINARY_DIR "/packaging/src/changelog.Debian");
  const std::string stamp = std::string(kDays[weekDay.c_encoding()]) + ", " + date.substr(8, 2) +
                            " " + std::string(kMonths[month - 1]).substr(0, 3) + " " +
                            std::to_string(year) + " ";
  EXPECT_NE(debian.find(stamp), std::string::npos) << stamp << "\n" << debian;
  EXPECT_NE(debian.find("nuvaro (" + version + "-"), std::string::npos) << debian;
#endif
}

} // namespace
