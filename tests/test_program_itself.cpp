// This test program, run with a panel file beside it that does not load: each
// test that needs the panel fails on its own, and the run goes on to its end
// and its summary. Linux: the program is linked into a folder of its own.
#ifdef __linux__
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>

#include "child_process.h"

namespace {

TEST(TestProgram, APanelFileThatDoesNotLoadFailsEachTestThatNeedsItAndNothingElse) {
  // In the build folder, as the program is: a hard link needs one file system.
  QTemporaryDir dir(QStringLiteral(NUVARO_BINARY_DIR "/test-program-XXXXXX"));
  ASSERT_TRUE(dir.isValid());
  const QString self = QCoreApplication::applicationFilePath();
  const QString copy = dir.filePath(QFileInfo(self).fileName());
  ASSERT_EQ(link(self.toUtf8().constData(), copy.toUtf8().constData()), 0) << std::strerror(errno);
  QFile shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/nuvaro.uir"));
  ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
  QByteArray broken = shipped.readAll();
  ASSERT_EQ(broken.count(">SweepMin</string>"), 1);
  broken.replace(">SweepMin</string>", ">SweepMn</string>");
  QFile beside(dir.filePath(QStringLiteral("nuvaro.uir")));
  ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
  beside.write(broken);
  beside.close();

  // Not the tests that run other programs in real time (they need no panel
  // and take seconds), nor this one.
  const Child child =
      SpawnChild({"/bin/sh", "-c", "exec \"$0\" \"$1\" 2>&1", copy.toStdString(),
                  "--gtest_filter=-Nuvaroctl*:StopSignals.*:AppBinary.*:TestProgram.*"});
  ASSERT_GT(child.pid, 0);
  const std::string out = ReadAll(child.out);
  const int status = WaitForExit(child.pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "wait status " << status;

  // Every test that started ended with its verdict; those that load the
  // panel failed, the others passed.
  static const std::regex ended(R"(^\[ +(OK|FAILED|SKIPPED) +\] (\w+)\.\w+ \(\d+ ms\)$)");
  int started = 0, passed = 0, failed = 0, skipped = 0;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (line.rfind("[ RUN      ]", 0) == 0)
      ++started;
    else if (std::regex_match(line, m, ended))
      ++(m[1] == "OK" ? passed : m[1] == "FAILED" ? failed : skipped);
  }
  EXPECT_EQ(passed + failed + skipped, started)
      << out.substr(out.size() - std::min<std::size_t>(out.size(), 2000));
  EXPECT_GT(failed, 0);
  EXPECT_GT(passed, 0);
  EXPECT_NE(out.find("names callback \"SweepMn\""), std::string::npos);
}

} // namespace

#endif
