#include "qt/about_dialog.h"

#include "model/forms.h"
#include "qt/main_window.h"
#include "qt/qt_text.h"

namespace pelisto {
namespace {

// The button's font size is given in points; at the desktop's 96 dots per
// inch, 10 points are 13 pixels, the height the main window's buttons get.
int pointsToPixels(int points) { return (points * 96 + 36) / 72; }

}  // namespace

AboutDialog::AboutDialog(Canvas& canvas, QWidget* parent, std::function<void()> buttonClicked)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_client(canvas, this),
      m_button(this) {
  setObjectName(QStringLiteral("FORM3"));
  setWindowTitle(toQt(kForm3Title));
  setModal(true);
  setFont(qtFont(kFormFont));
  setFixedSize(kForm3ClientWidth, kForm3ClientHeight);

  const ControlInfo& info = form3Button();
  FontSpec font = info.font;
  font.heightPx = pointsToPixels(font.heightPx);
  m_button.setParent(&m_client);
  m_button.setObjectName(QString::fromLatin1(info.name));
  m_button.setText(toQt(info.caption));
  m_button.setGeometry(info.left, info.top, info.width, info.height);
  m_button.setFont(qtFont(font));
  applyBackColor(&m_button, info.back);
  connect(&m_button, &QPushButton::clicked, this, std::move(buttonClicked));
}

}  // namespace pelisto
