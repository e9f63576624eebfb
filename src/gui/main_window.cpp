#include "main_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "bindings.h"
#include "radar_widget.h"

namespace scantouch::gui {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

QLineEdit* Edit(TextBox& box, int width = 110) {
  auto* edit = Bind(box, new QLineEdit);
  edit->setMinimumWidth(width);
  return edit;
}

// A page that scrolls when a screen is smaller still than those the layout is made for.
QScrollArea* Scrollable(QWidget* page) {
  auto* area = new QScrollArea;
  area->setWidget(page);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setMinimumWidth(page->sizeHint().width());
  return area;
}

std::vector<QRadioButton*> Radios(int count) {
  std::vector<QRadioButton*> buttons;
  for (int i = 0; i < count; ++i)
    buttons.push_back(new QRadioButton);
  return buttons;
}

}  // namespace

MainWindow::MainWindow(ScannerProgram& program, FramePacer& pacer)
    : program_(program), form_(program.form()), pacer_(pacer) {
  setWindowTitle(QString::fromStdString(form_.Form1.caption()));
  radar_ = new RadarWidget(form_, program.calibration(), pacer, this);

  // The settings, in three pages, and the debug area share the space beside the radar view, one
  // page at a time: the view keeps its size, and everything fits a 1024 x 768 projector.
  auto* pages = new QTabWidget;
  pages->addTab(Scrollable(makeCalibrationPage()), Q("标定"));
  pages->addTab(Scrollable(makeOptionsPage()), Q("选项"));
  pages->addTab(Scrollable(MakeTouchPage(form_, this)), Q("触控"));
  pages->addTab(Scrollable(MakeDebugPanel(program, pacer, this)), Q("调试"));

  auto* right = new QVBoxLayout;
  right->addWidget(pages, 1);
  right->addWidget(makeButtons());

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(radar_, 1);
  layout->addLayout(right);
  resize(DefaultSize());
  followWindowState();
}

QSize MainWindow::DefaultSize() {
  QSize size(1200, 760);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() - QSize(0, 40));  // title bar
  return size;
}

QWidget* MainWindow::makeCalibrationPage() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  column->addWidget(makeCalibrationGroup());
  column->addWidget(makeScanGroup());
  column->addStretch(1);
  return page;
}

QWidget* MainWindow::makeOptionsPage() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  column->addWidget(makeDisplayModeGroup());
  column->addWidget(makeRangeGroup());
  column->addWidget(makeActionGroup());
  column->addWidget(makeProgramGroup());
  column->addWidget(makeMoreGroup());
  column->addStretch(1);
  return page;
}

QGroupBox* MainWindow::makeCalibrationGroup() {
  auto* group = new QGroupBox(Q("位置相关参数设置"));
  auto* grid = new QGridLayout(group);
  auto radios = Radios(6);
  Bind(form_.OPT标定, radios);
  // Each option on the row of the text box it fills, scanner first.
  struct Row {
    int option;
    TextBox* box;
  };
  const Row rows[] = {{2, &form_.txt雷达位置},
                      {0, &form_.TXT标定左上角},
                      {1, &form_.TXT标定右下角},
                      {3, &form_.TXT屏幕左上角},
                      {4, &form_.TXT屏幕宽高}};
  int line = 0;
  for (const Row& row : rows) {
    grid->addWidget(radios[static_cast<std::size_t>(row.option)], line, 0);
    grid->addWidget(Edit(*row.box), line++, 1);
  }
  grid->addWidget(radios[5], line, 0);
  grid->addWidget(Bind(form_.LBL鼠标在屏幕的当前位置, new QLabel), line, 1);
  return group;
}

QGroupBox* MainWindow::makeScanGroup() {
  auto* group = new QGroupBox(Q("扫描参数"));
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(Q("灵敏度")), 0, 0);
  grid->addWidget(Edit(form_.TXT灵敏度, 60), 0, 1);
  grid->addWidget(new QLabel(Q("0-64，数值越小灵敏度越高")), 0, 2);
  grid->addWidget(new QLabel(Q("角度校正")), 1, 0);
  grid->addWidget(Edit(form_.txt角度校正, 60), 1, 1);
  grid->addWidget(Bind(form_.Label1, new QLabel), 2, 0);
  grid->addWidget(Edit(form_.Text1, 60), 2, 1);
  grid->addWidget(BindPaced(form_.Label4, new QLabel, pacer_), 2, 2);
  return group;
}

QGroupBox* MainWindow::makeDisplayModeGroup() {
  auto* group = new QGroupBox(Q("曲线模式"));
  auto* row = new QHBoxLayout(group);
  auto radios = Radios(3);
  Bind(form_.OPT曲线模式, radios);
  for (QRadioButton* radio : radios)
    row->addWidget(radio);
  return group;
}

QGroupBox* MainWindow::makeRangeGroup() {
  auto* group = new QGroupBox(Q("面积设置"));
  auto* grid = new QGridLayout(group);
  auto radios = Radios(8);
  Bind(form_.OPT面积设置, radios);
  for (int i = 0; i < 8; ++i)
    grid->addWidget(radios[static_cast<std::size_t>(i)], i / 4, i % 4);
  return group;
}

QGroupBox* MainWindow::makeActionGroup() {
  auto* group = new QGroupBox(Q("动作设置"));
  auto* row = new QHBoxLayout(group);
  row->addWidget(Bind(form_.CHK鼠标移动, new QCheckBox));
  row->addWidget(Bind(form_.CHK鼠标点击, new QCheckBox));
  row->addWidget(Bind(form_.CHK使用网络, new QCheckBox));
  return group;
}

QGroupBox* MainWindow::makeProgramGroup() {
  auto* group = new QGroupBox(Q("程序设置"));
  auto* row = new QHBoxLayout(group);
  row->addWidget(Bind(form_.CHK开机自动运行, new QCheckBox));
  row->addWidget(Bind(form_.CHK开机自动隐藏, new QCheckBox));
  return group;
}

QGroupBox* MainWindow::makeMoreGroup() {
  auto* group = new QGroupBox(Q("其它"));
  auto* grid = new QGridLayout(group);
  auto precision = Radios(5);
  Bind(form_.OPT精度, precision);
  for (int i = 0; i < 5; ++i)
    grid->addWidget(precision[static_cast<std::size_t>(i)], 0, i);
  auto table = Radios(1);
  auto wall = Radios(1);
  Bind(form_.Option1, table);
  Bind(form_.Option2, wall);
  grid->addWidget(table[0], 1, 0, 1, 2);
  grid->addWidget(wall[0], 1, 2, 1, 3);
  grid->addWidget(Bind(form_.Check2, new QCheckBox), 2, 0, 1, 2);
  grid->addWidget(Bind(form_.CHK鼠标画4个圈测试, new QCheckBox), 2, 2, 1, 3);
  return group;
}

QWidget* MainWindow::makeButtons() {
  auto* buttons = new QWidget;
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  for (Button* button :
       {&form_.CMD开始, &form_.CMD停止, &form_.Command3, &form_.CMD隐藏, &form_.CMD结束程序}) {
    row->addWidget(Bind(*button, new QPushButton));
  }
  return buttons;
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
