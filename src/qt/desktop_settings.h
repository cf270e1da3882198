// What the desktop program remembers from one run to the next: the folder
// last used for each kind of file, where the main window was, and the
// options the program asks to keep. Kept in
// the user's configuration folder; a missing or damaged record gives the
// defaults, silently.
#pragma once

#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

namespace pelisto {

// The kind of file a dialog for this pattern chooses: "project" for
// "*.prj", "wave" for any other.
QString folderKind(const QString& pattern);

// The folder last used for kind when it still exists, else the current
// directory.
QString startFolder(const QString& kind);
// Records the folder of filePath as the last one used for kind.
void rememberFolder(const QString& kind, const QString& filePath);

// The main window's last position (the top left of its client area, menu
// bar included) when that corner is still on a screen.
std::optional<QPoint> rememberedWindowPosition();
void rememberWindowPosition(QPoint position);

// The main windows open now: each program keeps the place of its window in
// the settings while it is open, so that a new window can open beside the
// others rather than on top of one. A place is the top left corner of the
// client area and of the frame.
struct WindowPlace {
  QPoint client;
  QPoint frame;
};
// Records (or forgets) the place of this program's window number `serial`;
// noting also drops the records of programs no longer running.
void noteOpenWindow(int serial, const WindowPlace& place);
void forgetOpenWindow(int serial);
// The places of the windows open in programs still running (the records
// of those that ended without forgetting theirs are passed over).
std::vector<WindowPlace> openWindowPlaces();

// An option of the program by name: false until remembered.
bool rememberedOption(const QString& name);
void rememberOption(const QString& name, bool value);
// An option whose value is a name: empty until remembered.
QString rememberedText(const QString& name);
void rememberText(const QString& name, const QString& value);

}  // namespace pelisto
