// The progress display of a job running behind the main window: a slim
// bar with its text, in the free strip of the client area below the
// controls. It takes no input; the window stays usable around it.
#pragma once

#include <QProgressBar>

#include <memory>
#include <string>

namespace pelisto {

// The bar, hidden, as a child of the main window's client area.
std::unique_ptr<QProgressBar> makeProgressStrip(QWidget* client);
// Shows bar with text and percent (0..100).
void setProgress(QProgressBar& bar, const std::string& text, int percent);

}  // namespace pelisto
