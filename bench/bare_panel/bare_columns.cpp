// The baseline's settings and link columns, control by control as the panel
// file lays them out, with its texts, ranges and start-up values.
#include "bench/bare_panel/bare_panel.h"

#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QVBoxLayout>

#include "bench/bare_panel/bare_painted.h"

namespace bare {

namespace {

const QString kDemoPort = QStringLiteral("演示设备（内置模拟）");

// Tool tip, accessible name and, where the name does not say it all, the
// accessible description.
template <typename W>
W *Described(W *w, const QString &tip, const QString &name, const QString &description = {}) {
  if (!tip.isEmpty())
    w->setToolTip(tip);
  w->setAccessibleName(name);
  if (!description.isEmpty())
    w->setAccessibleDescription(description);
  return w;
}

// A form whose fields grow with the column; in a new group box when `title`
// is given.
QFormLayout *Form(const QString &title = {}, QGroupBox **group = nullptr) {
  auto *form = new QFormLayout;
  if (group) {
    *group = new QGroupBox(title);
    (*group)->setLayout(form);
  }
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  return form;
}

// A row whose label's mnemonic moves the focus to `field`.
void Row(QFormLayout *form, const QString &text, QWidget *field, QLayout *fieldLayout = nullptr) {
  auto *label = new QLabel(text);
  label->setBuddy(field);
  label->setEnabled(field->isEnabled());
  if (fieldLayout)
    form->addRow(label, fieldLayout);
  else
    form->addRow(label, field);
}

QSpinBox *Spin(int min, int max, int value, const QString &suffix, bool enabled = true) {
  auto *box = new QSpinBox;
  box->setAlignment(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);
  box->setAccelerated(true);
  box->setSuffix(suffix);
  box->setRange(min, max);
  box->setValue(value);
  box->setEnabled(enabled);
  return box;
}

QComboBox *List(const QStringList &items) {
  auto *list = new QComboBox;
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  list->addItems(items);
  // Room for the longest item in full: some styles draw item text a little
  // wider than the combo box measures it.
  list->setMinimumWidth(list->sizeHint().width() + list->fontMetrics().height());
  return list;
}

Lamp *OffLamp(const QString &tip, const QString &name, const QString &offText) {
  auto *lamp = Described(new Lamp, tip, name);
  // Dark at start: the lamp tells its state instead of what a click does.
  lamp->setToolTip(offText);
  lamp->setAccessibleDescription(offText);
  return lamp;
}

QPushButton *Button(const QString &text, const QString &tip, const QString &name,
                    const QString &description) {
  auto *button = Described(new QPushButton(text), tip, name, description);
  button->setAutoDefault(false);
  return button;
}

// The system's serial ports ("ttyUSB0 — description") and then the demo
// device; the first system port is chosen, else the demo device.
QComboBox *PortBox() {
  auto *box =
      Described(new QComboBox,
                QStringLiteral("选择串口；也可输入设备路径（如 /dev/ttyUSB0 或 COM3）后按回车"),
                QStringLiteral("端口"), QStringLiteral("选择设备所连的串口"));
  box->setEditable(true);
  box->completer()->setCompletionMode(QCompleter::PopupCompletion);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(12);
  box->lineEdit()->setAccessibleName(box->accessibleName());
  for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
    QString label = info.portName();
    if (!info.description().isEmpty())
      label += QStringLiteral(" — ") + info.description();
    box->addItem(label, info.systemLocation());
  }
  box->addItem(kDemoPort);
  box->setCurrentIndex(0);
  return box;
}

} // namespace

QLayout *BarePanel::settingsColumn() {
  auto *column = new QVBoxLayout;
  QGroupBox *group = nullptr;

  QFormLayout *form = Form(QStringLiteral("串口"), &group);
  QComboBox *port = PortBox();
  Row(form, QStringLiteral("端口(&P)："), port);
  auto *lampRow = new QHBoxLayout;
  Lamp *lamp = OffLamp(QStringLiteral("点击打开串口"), QStringLiteral("串口状态"),
                       QStringLiteral("串口未打开"));
  auto *notice = Described(new QLabel(QStringLiteral("演示设备：未连接硬件")),
                           QStringLiteral("所选端口是内置的模拟设备；下载不会写入任何真实设备"),
                           QStringLiteral("演示设备：未连接硬件"));
  notice->setStyleSheet(QStringLiteral(
      "QLabel { background-color: #fff3c4; color: #6a4a00; border: 1px solid #d9b44a; "
      "border-radius: 3px; padding: 0px 3px; font-size: 8pt; }"));
  const auto showNotice = [port, notice] { notice->setVisible(port->currentText() == kDemoPort); };
  showNotice();
  connect(port, &QComboBox::currentIndexChanged, notice, showNotice);
  lampRow->addWidget(lamp);
  lampRow->addWidget(notice);
  lampRow->addStretch();
  Row(form, QStringLiteral("串口状态(&O)："), lamp, lampRow);
  column->addWidget(group);

  form = Form(QStringLiteral("工作模式"), &group);
  const QString modeTip = QStringLiteral("定速：按固定转速运行；扫速：在两个转速之间扫描");
  Row(form, QStringLiteral("模式(&M)："),
      Described(List({QStringLiteral("定速模式"), QStringLiteral("扫速模式")}), modeTip,
                QStringLiteral("工作模式"), modeTip));
  column->addWidget(group);

  form = Form(QStringLiteral("定速"), &group);
  rate_ =
      Described(Spin(1, 100000, 3000, QStringLiteral(" r/min")), QStringLiteral("定速模式下的转速"),
                QStringLiteral("转速"), QStringLiteral("定速模式下的转速，单位 r/min"));
  Row(form, QStringLiteral("转速(&R)："), rate_);
  column->addWidget(group);

  // The sweep settings are dimmed in fixed-rate mode, the mode at start.
  form = Form(QStringLiteral("扫速"), &group);
  struct Sweep {
    const char *label, *tip, *name;
    int value;
    bool unit;
  };
  for (const Sweep &s : {Sweep{"最低转速(&L)：", "扫速的下限", "最低转速", 1000, true},
                         Sweep{"最高转速(&H)：", "扫速的上限", "最高转速", 6000, true},
                         Sweep{"步长(&T)：", "扫速每一步改变的转速", "步长", 100, true},
                         Sweep{"重复次数(&E)：", "扫速重复的次数", "重复次数", 1, false}}) {
    const QString tip = QString::fromUtf8(s.tip);
    QSpinBox *box = Spin(1, 100000, s.value, s.unit ? QStringLiteral(" r/min") : QString(), false);
    Row(form, QString::fromUtf8(s.label),
        Described(box, tip, QString::fromUtf8(s.name),
                  s.unit ? tip + QStringLiteral("，单位 r/min") : tip));
  }
  column->addWidget(group);
  column->addSpacerItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding));
  return column;
}

QLayout *BarePanel::linkColumn() {
  auto *column = new QVBoxLayout;
  QGroupBox *group = nullptr;

  QFormLayout *form = Form(QStringLiteral("脉冲"), &group);
  Row(form, QStringLiteral("角度(&A)："),
      Described(Spin(0, 360, 30, QStringLiteral(" °")), QStringLiteral("一转之中的角度"),
                QStringLiteral("角度"), QStringLiteral("一转之中的角度，单位 度 (°)")));
  Row(form, QStringLiteral("脉宽(&W)："),
      Described(Spin(0, 1000000, 100, QStringLiteral(" µs")), QStringLiteral("脉冲宽度"),
                QStringLiteral("脉宽"), QStringLiteral("脉冲的宽度，单位 微秒 (µs)")));
  Row(form, QStringLiteral("信号模式(&G)："),
      Described(
          List({QStringLiteral("模式 1（正脉冲在前）"), QStringLiteral("模式 0（负脉冲在前）")}),
          QStringLiteral("脉冲的极性顺序"), QStringLiteral("信号模式"),
          QStringLiteral("脉冲的极性顺序")));
  column->addWidget(group);

  // The link group: the lamp, then the dial and the strip in 3:2.
  group = new QGroupBox(QStringLiteral("通讯"));
  auto *link = new QVBoxLayout(group);
  form = Form();
  Row(form, QStringLiteral("通讯状态(&C)："),
      OffLamp(QStringLiteral("点击检查通讯"), QStringLiteral("通讯状态"),
              QStringLiteral("通讯未确认")));
  link->addLayout(form);
  dial_ = Described(new Dial, QString(), QStringLiteral("设备转速"),
                    QStringLiteral("设备报告的当前转速，单位 r/min"));
  dial_->setMinimumSize(160, 150);
  link->addWidget(dial_, 3);
  strip_ = Described(new Strip, QStringLiteral("最近 60 秒设备报告的转速"),
                     QStringLiteral("转速趋势"), QStringLiteral("最近 60 秒没有转速报告"));
  strip_->setMinimumSize(160, 90);
  strip_->setMaximumHeight(170);
  link->addWidget(strip_, 2);
  column->addWidget(group);

  auto *send = Button(QStringLiteral("下载参数"),
                      QStringLiteral("把参数下载到设备 (Ctrl+Return)；绿色表示有尚未下载的修改"),
                      QStringLiteral("下载参数"), QStringLiteral("把参数下载到设备"));
  send->setMinimumHeight(44);
  QFont big = send->font();
  big.setPointSize(12);
  big.setBold(true);
  send->setFont(big);
  send->setShortcut(QKeySequence(QStringLiteral("Ctrl+Return")));
  column->addWidget(send);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(Button(QStringLiteral("通讯记录(&J)"),
                            QStringLiteral("打开或关闭通讯记录：每一帧的内容、字节和结果"),
                            QStringLiteral("通讯记录"), QStringLiteral("打开或关闭通讯记录")));
  clean_ = Button(QStringLiteral("清除(&K)"), QStringLiteral("清空备注"), QStringLiteral("清除"),
                  QStringLiteral("清空备注"));
  buttons->addWidget(clean_);
  auto *quit = Button(QStringLiteral("退出"), QStringLiteral("退出程序 (Ctrl+Q)"),
                      QStringLiteral("退出"), QStringLiteral("退出程序"));
  quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
  connect(quit, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(quit);
  column->addLayout(buttons);
  return column;
}

} // namespace bare
