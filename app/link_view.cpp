#include "app/link_view.h"

#include "app/control_table.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "link/traffic.h"
#include "runtime/core/runtime.h"

namespace {

int linkViewShown = 0;

void ShowRow(const LogRow &row) {
  PutLogRow(panelHandle, CTL_LINK_VIEW, row);
}

} // namespace

void StartLinkView() {
  linkViewShown = 0;
  StartTraffic(ShowRow);
  SetTrafficDemoPort(DEMO_DEVICE_PORT);
  rt::SetSerialTap(TrafficRecord);
  SetBusyText(TrafficProgress);
}

int ShowLinkView(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  linkViewShown = !linkViewShown;
  SetCtrlAttribute(panelHandle, CTL_LINK_VIEW, ATTR_VISIBLE, linkViewShown);
  return 0;
}
