// A round indicator lamp: lit green or dark grey. A left mouse press, or
// Space/Enter while it has the keyboard focus, emits leftClicked(); a dashed
// ring shows the focus. Its accessible description (and tool tip) tells the
// state in words: `onText` when lit, `offText` when dark. Assistive
// technology sees it as a checkable indicator, checked while lit, and is told
// of every change (its kind, runtime/panel/kinds/led_kind.cpp).
#pragma once

#include <QString>
#include <QWidget>

class Led : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool on READ isOn WRITE setOn)
  Q_PROPERTY(QString onText READ onText WRITE setOnText)
  Q_PROPERTY(QString offText READ offText WRITE setOffText)

public:
  explicit Led(QWidget *parent = nullptr);

  bool isOn() const { return on_; }
  void setOn(bool on);
  QString onText() const { return onText_; }
  void setOnText(const QString &text);
  QString offText() const { return offText_; }
  void setOffText(const QString &text);

  // What a left click does (assistive technology's press action); nothing
  // while the lamp is disabled.
  void click();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  void leftClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  void describeState();

  bool on_ = false;
  QString onText_;
  QString offText_;
};
