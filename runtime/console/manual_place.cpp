// Where the manual is, for the program that runs: found from the
// executable's folder as the panel file is (panel_file.cpp).
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "runtime/core/console_ops.h"

std::string ManualPlace() {
  const QDir exe(QCoreApplication::applicationDirPath());
#ifdef _WIN32
  // The installer's and the zip's folder: manual\ beside the programs.
  const QString installed = exe.filePath(QStringLiteral("manual/index.html"));
#else
  // <prefix>/bin/nuvaroctl: the package's documentation folder.
  const QString installed =
      QDir::cleanPath(exe.filePath(QStringLiteral("../share/doc/nuvaro/manual/index.html")));
#endif
  // A build tree: <build>/bin beside <build>/manual.
  const QString built = QDir::cleanPath(exe.filePath(QStringLiteral("../manual/index.html")));
  const QString place =
      !QFileInfo::exists(installed) && QFileInfo::exists(built) ? built : installed;
  return QDir::toNativeSeparators(place).toStdString();
}
