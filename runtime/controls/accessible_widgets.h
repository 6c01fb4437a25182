// What assistive technology (a screen reader, say) learns of the controls
// that paint themselves. Qt's stock interfaces see only a bare widget there,
// so these give:
//
// - Led: role Indicator, state checkable and checked while lit, its state in
//   words as the description, and a press action that acts as a left click.
// - Meter: role Dial, read-only, with a value interface (current, minimum and
//   maximum value; setting a value does nothing), the value with its unit
//   as the Value text, and a note after its description while the reading
//   is stale.
// - Graph: role Chart, a leaf (the chart's inner views are not exposed), its
//   summary (Graph::accessibleSummary) as the description and its title as
//   the name when it has no accessible name.
// - RateTrend: role Chart; its description sums up the last minute.
//
// The controls send the change events themselves (state, value, description).
#pragma once

namespace rt {

// Registers the interfaces with QAccessible; later calls do nothing. The
// controls call it when they are built, before anything asks for their
// interface (Qt keeps the first interface it made for an object).
void InstallAccessibleFactory();

} // namespace rt
