#include "win32/win32_serial_port.h"

#include <string>

namespace scantouch {

bool Win32SerialPort::setPortNumber(std::int16_t number) {
  if (number < 1 || number > kMaxPortNumber)
    return false;
  number_ = number;
  return true;
}

bool Win32SerialPort::open() {
  if (isOpen())
    return true;
  const std::wstring name = L"\\\\.\\COM" + std::to_wstring(number_);
  // Held by another program: ERROR_ACCESS_DENIED, and the port stays closed.
  port_ = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                      nullptr);
  if (port_ == INVALID_HANDLE_VALUE)
    return false;
  DCB settings{};
  settings.DCBlength = sizeof settings;
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;   // with both totals 0: return at once
  timeouts.WriteTotalTimeoutConstant = 500;  // a stuck line never hangs the program
  if (!GetCommState(port_, &settings)) {
    close();
    return false;
  }
  settings.BaudRate = CBR_115200;
  settings.ByteSize = 8;
  settings.Parity = NOPARITY;
  settings.StopBits = ONESTOPBIT;
  settings.fBinary = TRUE;
  settings.fParity = FALSE;
  settings.fOutxCtsFlow = FALSE;
  settings.fOutxDsrFlow = FALSE;
  settings.fDtrControl = DTR_CONTROL_ENABLE;
  settings.fRtsControl = RTS_CONTROL_ENABLE;
  settings.fOutX = FALSE;
  settings.fInX = FALSE;
  if (!SetCommState(port_, &settings) || !SetCommTimeouts(port_, &timeouts)) {
    close();
    return false;
  }
  PurgeComm(port_, PURGE_RXCLEAR | PURGE_TXCLEAR);
  return true;
}

void Win32SerialPort::close() {
  if (!isOpen())
    return;
  CloseHandle(port_);
  port_ = INVALID_HANDLE_VALUE;
}

std::vector<std::uint8_t> Win32SerialPort::readAll() {
  std::vector<std::uint8_t> bytes;
  if (!isOpen())
    return bytes;
  std::uint8_t buffer[4096];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(port_, buffer, sizeof buffer, &read, nullptr)) {
      close();  // the device is gone
      return bytes;
    }
    if (read == 0)
      return bytes;
    bytes.insert(bytes.end(), buffer, buffer + read);
  }
}

bool Win32SerialPort::write(std::string_view bytes) {
  if (!isOpen())
    return false;
  DWORD written = 0;
  if (!WriteFile(port_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    close();
    return false;
  }
  return written == bytes.size();
}

void Win32SerialPort::flush() {
  if (isOpen())
    FlushFileBuffers(port_);
}

}  // namespace scantouch
