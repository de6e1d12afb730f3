#pragma once
// What the program sets once for all its windows: its name, its icon, the
// dialog font, and Qt's own texts in Japanese where they are installed.

class QApplication;

namespace kestrel::gui {

void SetUpApplication(QApplication& application);

}  // namespace kestrel::gui
