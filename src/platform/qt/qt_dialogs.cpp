#include "qt/qt_dialogs.h"

#include <QMessageBox>

namespace scantouch {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool QtDialogs::askYesNo(std::string_view text, std::string_view title) {
  return QMessageBox::question(nullptr, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void QtDialogs::inform(std::string_view text, std::string_view title) {
  QMessageBox::information(nullptr, Q(title), Q(text));
}

}  // namespace scantouch
