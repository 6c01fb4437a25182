#include "app/link_view.h"

#include "app/control_table.h"
#include "app/state/controls.h"
#include "app/state/settings.h"
#include "runtime/core/runtime.h"
#include "traffic/decoder.h"
#include "traffic/progress.h"

namespace {

int linkViewShown = 0;
traffic::Decoder decoder;

void ShowRow(const LogRow &row) {
  PutLogRow(panelHandle, CTL_LINK_VIEW, row);
}

void DecodeRecord(const rt::TapRecord &record) {
  decoder.Take(record);
}

} // namespace

void StartLinkView() {
  linkViewShown = 0;
  decoder = traffic::Decoder(ShowRow, DEMO_DEVICE_PORT);
  rt::SetSerialTap(DecodeRecord);
  SetBusyText(traffic::DownloadProgress);
}

int ShowLinkView(int, int, int event, void *, int, int) {
  if (event != EVENT_COMMIT)
    return 0;
  linkViewShown = !linkViewShown;
  // Everything the line carried so far is in the view when it opens.
  rt::DrainSerialTap();
  SetCtrlAttribute(panelHandle, CTL_LINK_VIEW, ATTR_VISIBLE, linkViewShown);
  return 0;
}
