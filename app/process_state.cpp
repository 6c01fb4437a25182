#include "app/process_state.h"

#include <algorithm>
#include <iterator>

#include "app/link_view.h"
#include "app/state/settings.h"
#include "link/frame.h"
#include "link/line_account.h"
#include "link/port.h"
#include "link/sequence.h"
#include "preview/synthesis.h"

void ResetProcessState() {
  // app/state
  Settings = SettingsRecord{};
  panelHandle = 0;
  // link/: the port, its buffers and the state of its choice and exchange
  portNumber = 0;
  std::fill(std::begin(buf), std::end(buf), '\0');
  std::fill(std::begin(send_data), std::end(send_data), '\0');
  std::fill(std::begin(read_data), std::end(read_data), '\0');
  portReady = 0;
  slectportchanged = 1;
  commOk = 0;
  ResetLineAccount(); // lineAccount
  // preview/: the traces
  std::fill(std::begin(datapoints), std::end(datapoints), 0.0);
  std::fill(std::begin(datapoints1), std::end(datapoints1), 0.0);
  // app/link_view.cpp: linkViewShown and the decoder
  StartLinkView();
  // Nothing to reset: scratch space each call fills before it reads, static
  // only to keep the device path free of allocation: look_data in
  // link/frame.cpp, work in link/line_account.cpp.
}
