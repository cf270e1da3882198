#include "qt/desktop_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "platform/program_files.h"

namespace pelisto {
namespace {

const QString kPositionKey = QStringLiteral("window/position");
// The window's corner and a bit more must be on a screen for it to be
// found and moved.
constexpr int kTitleMargin = 16;

QVariant stored(const QString& key) {
  return QSettings(QStringLiteral("Pelisto"), QStringLiteral("Pelisto")).value(key);
}
void store(const QString& key, const QVariant& value) {
  QSettings(QStringLiteral("Pelisto"), QStringLiteral("Pelisto")).setValue(key, value);
}
QString folderKey(const QString& kind) { return QStringLiteral("folders/") + kind; }

}  // namespace

QString folderKind(const QString& pattern) {
  return pattern.compare(QStringLiteral("*.prj"), Qt::CaseInsensitive) == 0 ? QStringLiteral("project")
                                                                            : QStringLiteral("wave");
}

QString startFolder(const QString& kind) {
  const QVariant value = stored(folderKey(kind));
  if (value.typeId() == QMetaType::QString) {
    const QFileInfo folder(value.toString());
    if (folder.isAbsolute() && folder.isDir()) return folder.absoluteFilePath();
  }
  return QDir::currentPath();
}

void rememberFolder(const QString& kind, const QString& filePath) {
  store(folderKey(kind), QFileInfo(filePath).absolutePath());
}

std::optional<QPoint> rememberedWindowPosition() {
  const QVariant value = stored(kPositionKey);
  if (value.typeId() != QMetaType::QPoint) return std::nullopt;
  const QPoint position = value.toPoint();
  if (!QGuiApplication::screenAt(position + QPoint(kTitleMargin, kTitleMargin))) return std::nullopt;
  return position;
}

void rememberWindowPosition(QPoint position) { store(kPositionKey, position); }

namespace {

const QString kOpenWindows = QStringLiteral("open-windows");

QString windowKey(int serial) {
  return QStringLiteral("%1/%2-%3").arg(kOpenWindows).arg(thisProgramFilesIn({}).id).arg(serial);
}

}  // namespace

void noteOpenWindow(int serial, const WindowPlace& place) {
  QSettings settings(QStringLiteral("Pelisto"), QStringLiteral("Pelisto"));
  // The records of programs that ended without forgetting theirs go too.
  const ProgramFiles own = thisProgramFilesIn({});
  settings.beginGroup(kOpenWindows);
  for (const QString& window : settings.childGroups()) {
    if (!own.running(window.section(QLatin1Char('-'), 0, 0).toLongLong())) settings.remove(window);
  }
  settings.endGroup();
  settings.setValue(windowKey(serial) + QStringLiteral("/client"), place.client);
  settings.setValue(windowKey(serial) + QStringLiteral("/frame"), place.frame);
}

void forgetOpenWindow(int serial) {
  QSettings(QStringLiteral("Pelisto"), QStringLiteral("Pelisto")).remove(windowKey(serial));
}

std::vector<WindowPlace> openWindowPlaces() {
  const ProgramFiles own = thisProgramFilesIn({});
  QSettings settings(QStringLiteral("Pelisto"), QStringLiteral("Pelisto"));
  settings.beginGroup(kOpenWindows);
  std::vector<WindowPlace> places;
  for (const QString& window : settings.childGroups()) {
    if (!own.running(window.section(QLatin1Char('-'), 0, 0).toLongLong())) continue;
    const QVariant client = settings.value(window + QStringLiteral("/client"));
    const QVariant frame = settings.value(window + QStringLiteral("/frame"));
    if (client.typeId() == QMetaType::QPoint && frame.typeId() == QMetaType::QPoint) {
      places.push_back(WindowPlace{client.toPoint(), frame.toPoint()});
    }
  }
  return places;
}

bool rememberedOption(const QString& name) {
  const QVariant value = stored(QStringLiteral("options/") + name);
  return value.typeId() == QMetaType::Bool ? value.toBool() : value.toString() == QStringLiteral("true");
}

void rememberOption(const QString& name, bool value) { store(QStringLiteral("options/") + name, value); }

QString rememberedText(const QString& name) {
  const QVariant value = stored(QStringLiteral("options/") + name);
  return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void rememberText(const QString& name, const QString& value) { store(QStringLiteral("options/") + name, value); }

}  // namespace pelisto
