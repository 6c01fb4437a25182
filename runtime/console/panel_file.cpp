#include "runtime/console/panel_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace rt {

namespace {

bool IsBareName(const QString &name) {
  return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

} // namespace

QString FindPanelFile(const QString &exeDir, const QString &name) {
  const QDir dir(exeDir);
  const QString beside = dir.filePath(name);
  if (QFileInfo::exists(beside))
    return beside;
  // An installed program: <prefix>/bin/nuvaro reads <prefix>/share/nuvaro/.
  const QString installed =
      QDir::cleanPath(dir.filePath(QStringLiteral("../share/nuvaro/") + name));
  if (QFileInfo::exists(installed))
    return installed;
  return beside;
}

QString ResolvePanelPath(const char *fileName) {
  const QString name = QString::fromUtf8(fileName ? fileName : "");
  if (name.isEmpty())
    return {};
  if (IsBareName(name))
    return FindPanelFile(QCoreApplication::applicationDirPath(), name);
  return name;
}

QList<int> RingItemValues(const QString &itemValues, int count) {
  const QStringList parts = itemValues.split(QLatin1Char(','));
  QList<int> values;
  for (int i = 0; i < count; ++i) {
    bool ok = false;
    const int value = i < parts.size() ? parts.at(i).trimmed().toInt(&ok) : 0;
    values.append(ok ? value : i);
  }
  return values;
}

} // namespace rt
