#include "runtime/panel/panel_loader.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QUiLoader>

#include <memory>

#include "runtime/panel/kind_registry.h"

namespace rt {

namespace {

// Has the kind registered for a class make its widgets (a stock Qt class's
// kind leaves it to Qt), and notes the class the form names for each widget.
// Make one with MakeLoader(), never directly.
class PanelUiLoader : public QUiLoader {
public:
  PanelUiLoader() { setLanguageChangeEnabled(false); }

  QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override {
    const ControlKind *kind = KindForClass(className);
    QWidget *widget = kind ? kind->create(parent) : nullptr;
    if (widget)
      widget->setObjectName(name);
    else
      widget = QUiLoader::createWidget(className, parent, name);
    if (widget)
      classes_[widget] = className;
    return widget;
  }

  std::map<const QWidget *, QString> takeClasses() { return std::move(classes_); }

private:
  std::map<const QWidget *, QString> classes_;
};

// QUiLoader's constructor loads every Qt Designer plug-in it finds in the
// "designer" folder of each library path, and clearing its plug-in paths
// afterwards is too late: they stay mapped. One of them (the Qt Quick widget,
// which Designer installs) pulls in Qt Quick, QML and Qt Network, megabytes
// and milliseconds the panel never uses. So the loader is made while the
// application has no library paths; putting the same list back costs no new
// scan, since every folder in it has been scanned already.
std::unique_ptr<PanelUiLoader> MakeLoader() {
  const QStringList paths = QCoreApplication::libraryPaths();
  QCoreApplication::setLibraryPaths({});
  auto loader = std::make_unique<PanelUiLoader>();
  QCoreApplication::setLibraryPaths(paths);
  return loader;
}

} // namespace

BuiltForm BuildPanelWidget(const QString &path) {
  if (path.isEmpty())
    return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  const std::unique_ptr<PanelUiLoader> loader = MakeLoader();
  BuiltForm form;
  form.window = loader->load(&file, nullptr);
  if (form.window)
    form.classes = loader->takeClasses();
  return form;
}

int CollectControls(const BuiltForm &form, PanelEntry &panel) {
  QWidget *window = form.window;
  QList<QWidget *> widgets = window->findChildren<QWidget *>();
  widgets.prepend(window);
  const QList<QLabel *> labels = window->findChildren<QLabel *>();
  for (QWidget *widget : widgets) {
    const QVariant idProperty = widget->property("ctrlId");
    if (!idProperty.isValid())
      continue;
    bool ok = false;
    const int id = idProperty.toInt(&ok);
    if (!ok || id <= 0 || panel.controls.count(id) != 0)
      return UIE_FILE;
    const auto named = form.classes.find(widget);
    const QString className = named != form.classes.end()
                                  ? named->second
                                  : QString::fromLatin1(widget->metaObject()->className());
    ControlEntry entry;
    entry.id = id;
    entry.kind = KindForClass(className);
    if (!entry.kind) {
      qWarning("panel file: control %d: no kind of control is class \"%s\"", id,
               qUtf8Printable(className));
      return UIE_FILE;
    }
    entry.widget = widget;
    entry.callbackName = widget->property("callback").toString().toStdString();
    for (QLabel *label : labels)
      if (label->buddy() == widget)
        entry.labels.append(label);
    panel.controls.emplace(id, std::move(entry));
  }
  return 0;
}

void ConnectControls(PanelEntry &panel) {
  const int handle = panel.handle;
  for (auto &[id, entry] : panel.controls) {
    const int control = id;
    entry.kind->bind(entry, panel,
                     [handle, control](int event) { DispatchEvent(handle, control, event); });
  }
}

} // namespace rt
