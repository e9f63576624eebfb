#include "qt/qt_serial_port.h"

#include <QFileInfo>

namespace scantouch {

QtSerialPort::QtSerialPort(const ExecutableDirectory& directory) : directory_(directory) {
  // A device that vanishes (an adapter pulled out) or hangs up (reads end of file, as a closed
  // pseudo-terminal does) closes the port, so that it reads as closed and is tried again. Left
  // open, a hung-up device wakes the event loop without end, each time with nothing to read.
  QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && port_.isOpen())
      port_.close();
  });
}

bool QtSerialPort::setPortNumber(std::int16_t number) {
  if (number < 1 || number > kMaxPortNumber)
    return false;
  number_ = number;
  return true;
}

std::string QtSerialPort::devicePath() const {
  const std::string link = directory_.path() + "/COM" + std::to_string(number_);
  if (QFileInfo::exists(QString::fromStdString(link)))
    return link;
  const std::string index = std::to_string(number_ - 1);
  for (const char* prefix : {"/dev/ttyUSB", "/dev/ttyACM", "/dev/ttyS"}) {
    const std::string path = prefix + index;
    if (QFileInfo::exists(QString::fromStdString(path)))
      return path;
  }
  return "";
}

bool QtSerialPort::open() {
  if (port_.isOpen())
    return true;
  const std::string path = devicePath();
  if (path.empty())
    return false;
  // Through the link to the device itself, so that the port's lock names the real device.
  port_.setPortName(QFileInfo(QString::fromStdString(path)).canonicalFilePath());
  if (!port_.open(QIODevice::ReadWrite))
    return false;
  port_.setBaudRate(QSerialPort::Baud115200);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  return true;
}

void QtSerialPort::close() {
  if (port_.isOpen())
    port_.close();
}

std::vector<std::uint8_t> QtSerialPort::readAll() {
  const QByteArray bytes = port_.readAll();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool QtSerialPort::write(std::string_view bytes) {
  if (!port_.isOpen())
    return false;
  return port_.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

}  // namespace scantouch
