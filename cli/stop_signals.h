// SIGINT and SIGTERM during a batch: noted, so that the batch stops at a row boundary
// and its output file is removed, instead of the process dying mid-write.
#pragma once

namespace vessane::cli {

// From now on, the first SIGINT or SIGTERM is noted; a second one ends the process as
// usual.
void CatchStopSignals();

// The signal noted, or 0.
int StopSignal();

}  // namespace vessane::cli
