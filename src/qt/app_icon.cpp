#include "qt/app_icon.h"

#include <QApplication>
#include <QIcon>

// Q_INIT_RESOURCE names a function in the global namespace, so the
// resource of this static library is registered from out here.
static void registerIconResource() { Q_INIT_RESOURCE(app_icon); }

namespace pelisto {

void setApplicationIcon() {
  registerIconResource();
  QIcon builtIn;
  builtIn.addFile(QStringLiteral(":/icons/pelisto-48.png"));
  builtIn.addFile(QStringLiteral(":/icons/pelisto-256.png"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PELISTO_APP_ID), builtIn));
}

}  // namespace pelisto
