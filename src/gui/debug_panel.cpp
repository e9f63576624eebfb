#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "bindings.h"
#include "main_window.h"

namespace scantouch::gui {

QWidget* MakeDebugPanel(ScannerProgram& program, FramePacer& pacer, QWidget* parent) {
  MainForm& form = program.form();
  auto* panel = new QWidget(parent);
  auto* column = new QVBoxLayout(panel);

  auto* commands = new QGridLayout;
  for (int i = 0; i < form.Text3.size(); ++i) {
    commands->addWidget(Bind(form.Text3[i], new QLineEdit), i, 0);
    commands->addWidget(Bind(form.Command1[i], new QPushButton), i, 1);
  }
  column->addLayout(commands);

  auto* touch = new QGridLayout;
  touch->addWidget(new QLabel(QString::fromUtf8("当前数据")), 0, 0);
  touch->addWidget(Bind(form.TXT当前处理数据, new QLineEdit), 0, 1);
  touch->addWidget(new QLabel(QString::fromUtf8("校正后")), 1, 0);
  touch->addWidget(Bind(form.txt校正后数据, new QLineEdit), 1, 1);
  column->addLayout(touch);

  auto* bufferRow = new QHBoxLayout;
  bufferRow->addWidget(Bind(form.CHK处理, new QCheckBox));
  bufferRow->addWidget(BindPaced(form.Label2, new QLabel, pacer), 1);
  bufferRow->addWidget(Bind(form.Command2, new QPushButton));
  column->addLayout(bufferRow);
  // The newest part of the receive buffer: 1000 bytes of hex text, what fits the box.
  column->addWidget(BindPaced(form.TXTRX, new QPlainTextEdit, pacer, 3000), 1);
  column->addWidget(BindPaced(form.radar().txtjd, new QPlainTextEdit, pacer), 1);
  column->addWidget(BindPaced(form.List1, new QListWidget, pacer), 1);
  return panel;
}

}  // namespace scantouch::gui
