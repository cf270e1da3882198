#include "qt/desktop_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

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
