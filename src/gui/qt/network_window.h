#pragma once

#include <QWidget>

#include "frame_pacer.h"
#include "link/network_form.h"

namespace scantouch::gui {

// The network window FRMSOCK as its description (layout::NetworkWindowLayout) lists it: one row
// per TCP channel with its address, port, state, send box and failure policy, the settings, what
// was received, the buttons. Closing it only hides it.
class NetworkWindow : public QWidget {
 public:
  NetworkWindow(NetworkForm& form, FramePacer& pacer);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  NetworkForm& form_;
};

}  // namespace scantouch::gui
