#include "network_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "layout_builder.h"
#include "main_window.h"

namespace scantouch::gui {

NetworkWindow::NetworkWindow(NetworkForm& form, FramePacer& pacer) : form_(form) {
  const layout::WindowLayout description = layout::NetworkWindowLayout(form);
  setWindowTitle(QString::fromStdString(description.title));
  auto* column = new QVBoxLayout(this);
  LayoutBuilder build(pacer);
  for (const layout::Page& page : description.pages)
    build.fill(column, page, false);
  column->addWidget(build.row(description.buttons));
  build.finish();
  resize(QSize(1000, 300).boundedTo(MainWindow::DefaultSize()));

  const auto follow = [this] { setVisible(form_.Window.visible()); };
  form.Window.visibilityChanged.connect(follow);
}

void NetworkWindow::closeEvent(QCloseEvent* event) {
  // The window, its sockets and its timers live on; closing only hides.
  event->ignore();
  form_.hide();
}

}  // namespace scantouch::gui
