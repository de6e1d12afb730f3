// A window that drags one file when pressed, as a file manager does: the
// real-window test drags from it onto the program with the X server's
// own drag and drop.
//   gui_drag_source FILE
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource : public QWidget {
 public:
  explicit DragSource(QString file) : file_(std::move(file)) {
    setWindowTitle(QStringLiteral("drag source"));
    resize(100, 100);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(file_)});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
  }

 private:
  QString file_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) return 2;
  DragSource source(QString::fromLocal8Bit(argv[1]));
  source.show();
  return QApplication::exec();
}
