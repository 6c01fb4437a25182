// The real panel on the steady clock, its port typed as an rfc2217:// name
// for ser2net on loopback, which serves the device model's pseudo-terminal.
// Linux.
#ifdef __linux__
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

#include "expected_download.h"
#include "panel_fixture.h"
#include "runtime/controls/port_selector.h"
#include "runtime/core/delay.h"
#include "ser2net_server.h"
#include "sim/pty_device.h"

namespace {

class Ser2netPanel : public PanelTest {
protected:
  void SetUp() override {
    PanelTest::SetUp();
    pty = std::make_unique<sim::PtyDevice>(device);
    std::string error;
    ASSERT_TRUE(pty->Start(&error)) << error;
    ASSERT_TRUE(server.Start(pty->SlavePath(), &error)) << error;
  }
  void TearDown() override {
    PanelTest::TearDown();
    server.Stop();
    pty->Stop();
  }

  // The operator types a port's name into the port choice and presses Enter.
  void TypePort(const std::string &name) {
    QLineEdit *edit = Control<PortSelector>(CTL_PORT)->lineEdit();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(name));
    QWidget *popup = edit->completer() ? edit->completer()->popup() : nullptr;
    QTest::keyClick(popup && popup->isVisible() ? popup : static_cast<QWidget *>(edit),
                    Qt::Key_Return);
  }

  rt::SteadyClock steady;
  rt::ScopedClock useSteady{steady};
  std::unique_ptr<sim::PtyDevice> pty;
  Ser2netServer server;
};

// Typed, kept in the list, downloaded to byte for byte; the server gone is a
// lost port, and the next download opens it again once the server is back.
TEST_F(Ser2netPanel, DownloadsThroughATypedRfc2217Port) {
  const std::string name = server.Rfc2217Url();
  TypePort(name);
  auto *box = Control<PortSelector>(CTL_PORT);
  EXPECT_EQ(box->currentText().toStdString(), name);
  EXPECT_GE(box->findText(QString::fromStdString(name)), 0);
  EXPECT_EQ(slectportchanged, 1);

  const SettingsRecord s = PanelStart();
  Download();
  EXPECT_TRUE(popups.empty());
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  EXPECT_EQ(Value(CTL_COMM_LED), 1);
  EXPECT_EQ(device->RawBytes(), Expected(s).frames);
  EXPECT_TRUE(
      LinkViewRows().filter(QStringLiteral("打开 ") + QString::fromStdString(name)).size() == 1);

  server.Kill();
  Download();
  EXPECT_EQ(popups, std::vector<std::string>{"  硬件通讯错误"});
  ExpectPortClosedAndChosenAnew();

  std::string error;
  ASSERT_TRUE(server.Start(pty->SlavePath(), &error, {}, true)) << error;
  device->ClearRecord();
  Download();
  EXPECT_EQ(popups.size(), 1u);
  EXPECT_EQ(Value(CTL_PORT_LED), 1);
  EXPECT_EQ(device->Payloads(), Expected(s).commands);
}

} // namespace
#endif
