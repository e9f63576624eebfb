#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "bindings.h"
#include "main_window.h"

namespace scantouch::gui {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

QLabel* Hint(const char* text) {
  return new QLabel(Q(text));
}

QGroupBox* MakeMouseModeGroup(MainForm& form) {
  auto* group = new QGroupBox(Q("鼠标模式"));
  auto* row = new QHBoxLayout(group);
  std::vector<QRadioButton*> radios;
  for (int i = 0; i < 3; ++i)
    radios.push_back(new QRadioButton);
  Bind(form.OPT鼠标模式, radios);
  for (QRadioButton* radio : radios)
    row->addWidget(radio);
  return group;
}

QGroupBox* MakeOutputsGroup(MainForm& form) {
  auto* group = new QGroupBox(Q("输出"));
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(Q("TUIO目标")), 0, 0);
  auto* targets = Bind(form.TXTTUIO目标, new QLineEdit);
  targets->setMinimumWidth(220);
  grid->addWidget(targets, 0, 1);
  grid->addWidget(Hint("主机:端口，多个用分号隔开，空为不发送"), 1, 1);
  grid->addWidget(Bind(form.CHK系统触控, new QCheckBox), 2, 0, 1, 2);
  return group;
}

QGroupBox* MakeTrackingGroup(MainForm& form) {
  auto* group = new QGroupBox(Q("跟踪"));
  auto* grid = new QGridLayout(group);
  struct Row {
    const char* caption;
    TextBox* box;
    const char* hint;
  };
  const Row rows[] = {{"出现圈数", &form.TXT出现圈数, "连续扫到几圈才算触摸"},
                      {"消失圈数", &form.TXT消失圈数, "连续几圈扫不到才算抬起"},
                      {"分组间距", &form.TXT分组间距, "毫米，近于此的点算同一物体"},
                      {"匹配距离", &form.TXT匹配距离, "毫米，触点每圈可移动的距离"}};
  int line = 0;
  for (const Row& row : rows) {
    grid->addWidget(new QLabel(Q(row.caption)), line, 0);
    auto* edit = Bind(*row.box, new QLineEdit);
    edit->setFixedWidth(60);
    grid->addWidget(edit, line, 1);
    grid->addWidget(Hint(row.hint), line++, 2);
  }
  grid->addWidget(Bind(form.CHK平滑, new QCheckBox), line, 0, 1, 3);
  grid->setColumnStretch(2, 1);
  return group;
}

QGroupBox* MakeTouchStatusGroup(MainForm& form) {
  auto* group = new QGroupBox(Q("状态"));
  auto* column = new QVBoxLayout(group);
  auto* status = Bind(form.LBL触控状态, new QLabel);
  status->setWordWrap(true);
  status->setMinimumHeight(2 * status->fontMetrics().height());
  status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  column->addWidget(status);
  return group;
}

}  // namespace

QWidget* MakeTouchPage(MainForm& form, QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* column = new QVBoxLayout(page);
  column->addWidget(MakeMouseModeGroup(form));
  column->addWidget(MakeOutputsGroup(form));
  column->addWidget(MakeTrackingGroup(form));
  column->addWidget(MakeTouchStatusGroup(form));
  column->addStretch(1);
  return page;
}

}  // namespace scantouch::gui
