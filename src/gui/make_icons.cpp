// Writes the program's icon as the PNG files of the desktop's icon theme:
//   make_icons FOLDER   writes FOLDER/<n>x<n>/apps/kestrelmarking.png
#include <QDir>
#include <QString>
#include <cstdio>

#include "gui/app_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons FOLDER\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (const int size : kestrel::gui::kIconSizes) {
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    const QString file = folder + QStringLiteral("/kestrelmarking.png");
    if (!QDir().mkpath(folder) || !kestrel::gui::DrawApplicationIcon(size).save(file, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
