#include "runtime/panel/ui_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace rt {

void UseAnInstalledUiFont(QApplication &app) {
#ifdef _WIN32
  // Only Windows' own font database substitutes so; the headless platforms
  // bring their own.
  if (QGuiApplication::platformName() != QLatin1String("windows"))
    return;
  QFont font = QApplication::font();
  if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0)
    return; // the system's font is there
  const QStringList installed = QFontDatabase::families();
  for (const char *family : {"Microsoft YaHei UI", "Microsoft YaHei", "Segoe UI", "Tahoma",
                             "SimSun", "Noto Sans CJK SC", "DejaVu Sans"}) {
    const QString name = QString::fromLatin1(family);
    if (installed.contains(name, Qt::CaseInsensitive)) {
      font.setFamily(name);
      app.setFont(font);
      return;
    }
  }
#else
  (void)app;
#endif
}

} // namespace rt
