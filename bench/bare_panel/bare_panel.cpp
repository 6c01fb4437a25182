#include "bare_panel.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QTranslator>

#include <cmath>

#include "ui_nuvaro.h"

namespace bare {

namespace {

constexpr int kSamples = 1000;

// The form's controls of one stand-in class (findChildren would take any
// widget for it: the stand-ins have no meta-object of their own).
template <typename T> QList<T *> Controls(const QWidget *form) {
  QList<T *> found;
  for (QWidget *w : form->findChildren<QWidget *>())
    if (auto *t = dynamic_cast<T *>(w))
      found.append(t);
  return found;
}

} // namespace

void SetUpApplication(QApplication &app) {
  auto *translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  const QString icon = QStringLiteral(":/app/icon.svg");
  if (QFileInfo::exists(icon))
    app.setWindowIcon(QIcon(icon));
}

BarePanel::BarePanel(QWidget *parent) : QWidget(parent), ui_(std::make_unique<Ui_MainPanel>()) {
  Ui_MainPanel &ui = *ui_;
  ui.setupUi(this);

  // The custom controls' own properties in the panel file, which uic sets
  // as dynamic properties, and what the panel wires by the file's names: the
  // demo notice shown while the demo device is chosen, the strip on its
  // dial's scale, the clean and quit buttons.
  for (Lamp *lamp : Controls<Lamp>(this)) { // dark: its tip says so
    lamp->setToolTip(lamp->property("offText").toString());
    lamp->setAccessibleDescription(lamp->toolTip());
  }
  for (Dial *dial : Controls<Dial>(this))
    dial->setScale(dial->property("minimum").toInt(), dial->property("maximum").toInt());
  for (Strip *strip : Controls<Strip>(this)) {
    const QWidget *dial = findChild<QWidget *>(strip->property("meter").toString());
    strip->setScale(dial ? dial->property("maximum").toInt() : 10000,
                    strip->property("seconds").toInt());
  }
  for (Chart *chart : Controls<Chart>(this))
    chart->takeProperties();
  PortList *port = ui.CTL_PORT;
  port->lineEdit()->setAccessibleName(port->accessibleName());
  if (auto *notice = findChild<QWidget *>(port->property("builtInNotice").toString())) {
    const auto showNotice = [port, notice] {
      notice->setVisible(port->currentText() == PortList::kDemoPort);
    };
    showNotice();
    connect(port, &QComboBox::currentIndexChanged, notice, showNotice);
  }
  connect(ui.CTL_CLEAN, &QPushButton::clicked, ui.CTL_NOTES, &QPlainTextEdit::clear);
  connect(ui.CTL_QUIT, &QPushButton::clicked, this, &QWidget::close);

  follow(ui.CTL_RATE->value());
  connect(ui.CTL_RATE, &QSpinBox::valueChanged, this, [this](int rate) { follow(rate); });
}

BarePanel::~BarePanel() = default;

QSpinBox *BarePanel::rateBox() const {
  return ui_->CTL_RATE;
}
QChartView *BarePanel::pulseView() const {
  return ui_->CTL_PULSE_GRAPH->view();
}
QChartView *BarePanel::logicView() const {
  return ui_->CTL_LOGIC_GRAPH->view();
}

void BarePanel::follow(int rate) {
  // One revolution in 1000 samples: a pulse `width` µs wide at the start, one
  // of the other sign at `angle` (one sample wider, as the panel draws it),
  // and the logic level changing there. The signal mode's value says which
  // sign comes first.
  const Ui_MainPanel &ui = *ui_;
  const double step = 60.0 / rate; // ms per sample
  const double width = ui.CTL_WIDTH->value() * double(rate) / 60000.0;
  const int angle = ui.CTL_ANGLE->value() * kSamples / 360;
  const QStringList modes = ui.CTL_SIGNALMODE->property("itemValues").toString().split(',');
  const bool positiveFirst = modes.value(ui.CTL_SIGNALMODE->currentIndex()).toInt() != 0;
  const double first = positiveFirst ? 8.0 : -8.0;
  const double high = positiveFirst ? 5.0 : 0.0;
  QList<QPointF> pulse, logic;
  pulse.reserve(kSamples);
  logic.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    const double x = i * step;
    double p = 0.0;
    if (i >= angle && i - angle < width)
      p = -first;
    else if (i > 0 && i < width)
      p = first;
    pulse.append(QPointF(x, p));
    logic.append(QPointF(x, i < angle ? high : 5.0 - high));
  }
  const double span = (kSamples - 1) * step;
  ui.CTL_PULSE_GRAPH->plot(pulse, span);
  ui.CTL_LOGIC_GRAPH->plot(logic, span);
}

} // namespace bare
