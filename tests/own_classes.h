// Widget classes of the tests' own in a panel file: declared there as custom
// widgets of a stock Qt class, which Qt's form loader then makes, under names
// no kind of control of the run-time will ever claim.
#pragma once

#include <QByteArray>

// A class no kind claims: a control of it fails the panel's load.
inline constexpr char kUnclaimedClass[] = "TestsOwnUnclaimedWidget";

// `file` with `ownClass` declared as a custom widget that extends `base`.
inline QByteArray DeclareOwnClass(QByteArray file, const QByteArray &ownClass,
                                  const QByteArray &base) {
  const QByteArray declared =
      "<customwidget><class>" + ownClass + "</class><extends>" + base + "</extends></customwidget>";
  if (file.contains("<customwidgets>"))
    return file.replace("<customwidgets>", "<customwidgets>" + declared);
  return file.replace("</ui>", "<customwidgets>" + declared + "</customwidgets></ui>");
}

// `file` with the control named `name` made of `ownClass`, which extends the
// class it had; `file` as it was when no widget has that name.
inline QByteArray WithOwnClass(const QByteArray &file, const QByteArray &name,
                               const QByteArray &ownClass) {
  const QByteArray named = "\" name=\"" + name + "\"";
  const qsizetype end = file.indexOf(named);
  const qsizetype begin = end < 0 ? -1 : file.lastIndexOf("class=\"", end);
  if (begin < 0)
    return file;
  const qsizetype classAt = begin + 7;
  const QByteArray base = file.mid(classAt, end - classAt);
  QByteArray edited = file;
  edited.replace(classAt, end - classAt, ownClass);
  return DeclareOwnClass(edited, ownClass, base);
}
