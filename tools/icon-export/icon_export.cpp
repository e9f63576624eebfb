// icon-export: writes the program's icon as PNG files of the sizes the desktop's icon theme
// wants, FOLDER/<size>x<size>/apps/scantouch.png, drawn as the program draws it.
//
//   icon-export FOLDER

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "qt/qt_tray_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: icon-export FOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  for (const int size : scantouch::kProgramIconSizes) {
    const QString folder =
        QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    if (!QDir().mkpath(folder) ||
        !scantouch::ProgramIconPixmap(size).save(folder + "/scantouch.png", "PNG")) {
      std::fprintf(stderr, "icon-export: cannot write into %s\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
