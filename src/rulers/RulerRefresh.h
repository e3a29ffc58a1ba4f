#pragma once

// Notification codes of the ruler refresh chain: a ruler bar (or a dialog)
// tells the main frame, the frame relays to the views. The frame relays with
// the parameter RelayParam.
namespace RulerRefresh {

constexpr int RRN_REFRESH_VIEWS = 20110822; // redraw the views
constexpr int RRN_SCALE_CHANGED = 20110823; // the ruler scale changed: relayout both bars
constexpr int RRN_BAR_CHANGED = 201108231;  // a bar laid its table out anew: redraw the views
constexpr int RRN_TABLE_CLOSED = 201108233; // the grid-line dialog closed: relayout both bars
constexpr int RRN_TABLE_APPLY = 201108236;  // the grid-line dialog applied: relayout its bar
constexpr int RelayParam = 1001;

} // namespace RulerRefresh
