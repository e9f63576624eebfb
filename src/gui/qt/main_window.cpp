#include "main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "layout_builder.h"
#include "radar_widget.h"

namespace scantouch::gui {
namespace {

// A page that scrolls when a screen is smaller still than those the layout is made for.
QScrollArea* Scrollable(QWidget* page) {
  auto* area = new QScrollArea;
  area->setWidget(page);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setMinimumWidth(page->sizeHint().width());
  return area;
}

}  // namespace

MainWindow::MainWindow(ScannerProgram& program, FramePacer& pacer)
    : program_(program), form_(program.form()) {
  const layout::WindowLayout description = layout::MainWindowLayout(form_);
  setWindowTitle(QString::fromStdString(description.title));
  radar_ = new RadarWidget(form_, program.calibration(), pacer, this);
  radar_->setObjectName(QString::fromStdString(description.view.name));

  // The settings, in pages, and the debug area share the space beside the radar view, one page
  // at a time: the view keeps its size, and everything fits a 1024 x 768 projector.
  LayoutBuilder build(pacer);
  auto* pages = new QTabWidget;
  for (const layout::Page& page : description.pages)
    pages->addTab(Scrollable(build.page(page)), QString::fromStdString(page.caption));

  auto* right = new QVBoxLayout;
  right->addWidget(pages, 1);
  right->addWidget(build.row(description.buttons));
  build.finish();

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(radar_, 1);
  layout->addLayout(right);
  resize(DefaultSize());
  followWindowState();
  cornerMarks_ = std::make_unique<CornerMarksWindow>(form_.cornerCalibration());
}

QSize MainWindow::DefaultSize() {
  QSize size(1200, 760);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() - QSize(0, 40));  // title bar
  return size;
}

void MainWindow::followWindowState() {
  const auto show = [this] {
    const QScopedValueRollback following(followingCore_, true);
    if (!form_.Form1.visible()) {
      hide();
    } else if (form_.Form1.minimised()) {
      showMinimized();
    } else {
      showNormal();
      raise();
    }
  };
  form_.Form1.visibilityChanged.connect(show);
  form_.Form1.stateChanged.connect(show);
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !followingCore_)
    form_.Form1.setMinimised(isMinimized());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  program_.lifecycle().exitProgram();
}

}  // namespace scantouch::gui
