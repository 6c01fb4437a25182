// Starting the run-time, loading, showing and discarding panels, and the
// event loop.
#include "runtime/core/panel_ops.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <algorithm>
#include <memory>

#include "runtime/console/panel_file.h"
#include "runtime/console/program_arguments.h"
#include "runtime/console/stop_signals.h"
#include "runtime/panel/application_start.h"
#include "runtime/panel/busy.h"
#include "runtime/panel/control_binding.h"
#include "runtime/panel/kind_registry.h"
#include "runtime/panel/panel_access.h"
#include "runtime/panel/panel_loader.h"
#include "runtime/panel/panel_registry.h"
#include "runtime/panel/window_fit.h"

namespace {

// The loop RunUserInterface runs (the innermost, when nested).
QEventLoop *runningLoop = nullptr;

// Closing the window ends the event loop, as the quit button does; the panel
// itself stays until it is discarded.
class CloseToQuit : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *, QEvent *event) override {
    if (event->type() != QEvent::Close)
      return false;
    event->ignore();
    QuitUserInterface(0);
    return true;
  }
};

// Qt's own texts (dialog buttons, the edit fields' context menu) in Chinese,
// like every text of the program; without the translation file they stay
// English. Qt's folder holds them on Linux; the Windows installer puts them
// in translations/ beside the executable, as Qt's own plugins sit beside it.
void InstallQtTranslations(QApplication &app) {
  auto *translator = new QTranslator(&app);
  const QString name = QStringLiteral("qtbase_zh_CN");
  if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      translator->load(name,
                       QCoreApplication::applicationDirPath() + QStringLiteral("/translations")))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}

// The executable embeds its icon as a resource, so a build tree shows it as
// an install does; an SVG needs Qt's svg image-format plugin at run time.
void SetProgramIcon(QApplication &app) {
  const QString icon = QStringLiteral(":/app/icon.svg");
  if (QFileInfo::exists(icon))
    app.setWindowIcon(QIcon(icon));
}

} // namespace

int InitCVIRTE(void *, char **argv, void *) {
  if (QCoreApplication::instance()) {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
      return 0; // a non-GUI application object: no panels possible
    rt::busy::Install();
    rt::stop::Install();
    return 1;
  }
  rt::ProgramArguments &arguments = rt::KeepProgramArguments(argv, "nuvaro");
  const bool platformGiven = std::find(arguments.texts.begin(), arguments.texts.end(),
                                       "-platform") != arguments.texts.end();
  QApplication *app =
      rt::StartApplication(arguments.argc, arguments.pointers.data(), platformGiven);
  if (!app)
    return 0;
  app->setQuitOnLastWindowClosed(false);
  InstallQtTranslations(*app);
  SetProgramIcon(*app);
  rt::busy::Install();
  rt::stop::Install();
  return 1;
}

int LoadPanel(int parentPanel, const char *fileName, int panelId) {
  if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
    return UIE_NOT_INITIALISED;
  if (parentPanel != 0 || panelId != 1)
    return UIE_BAD_VALUE; // top-level panels only; the file holds panel 1
  rt::InstallKindAccessibility();
  const rt::BuiltForm form = rt::BuildPanelWidget(rt::ResolvePanelPath(fileName));
  QWidget *window = form.window;
  if (!window)
    return UIE_FILE;
  auto panel = std::make_unique<rt::PanelEntry>();
  panel->window = window;
  if (rt::CollectControls(form, *panel) != 0 || rt::BindControls(*panel) != 0) {
    delete window;
    return UIE_FILE;
  }
  window->installEventFilter(new CloseToQuit(window));
  rt::PanelEntry *entry = panel.get();
  const int handle = rt::AddPanel(std::move(panel));
  rt::ConnectControls(*entry);
  return handle;
}

int DisplayPanel(int panel) {
  rt::PanelEntry *p = rt::FindPanel(panel);
  if (!p || !p->window)
    return UIE_NO_PANEL;
  rt::FitToScreen(p->window);
  p->window->show();
  p->window->raise();
  p->window->activateWindow();
  p->displayed = true;
  rt::StartPanelTimers(*p);
  return 0;
}

int DiscardPanel(int panel) {
  std::unique_ptr<rt::PanelEntry> p = rt::TakePanel(panel);
  if (!p)
    return UIE_NO_PANEL;
  rt::StopPanelTimers(*p);
  if (QWidget *window = p->window) {
    window->hide();
    // A callback of this panel may still be on the stack (the quit button's,
    // say): the widgets go once control is back in the event loop.
    if (rt::busy::InDispatch())
      window->deleteLater();
    else
      delete window;
  }
  return 0;
}

int RunUserInterface() {
  if (!QCoreApplication::instance())
    return UIE_NOT_INITIALISED;
  QEventLoop loop;
  QEventLoop *outer = runningLoop;
  runningLoop = &loop;
  const int code = loop.exec();
  runningLoop = outer;
  return code;
}

// Outside RunUserInterface there is no loop to end: nothing happens.
int QuitUserInterface(int returnCode) {
  if (runningLoop)
    runningLoop->exit(returnCode);
  return 0;
}
