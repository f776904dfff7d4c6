// Frame collection shared by the thread listings and the event pump.
#pragma once

#include <cstdint>
#include <vector>

#include "lldb_debug_records.h"

namespace lldb {
class SBThread;
}

namespace lldb_debug {

// Replaces `frames` with the thread's frames from the top, at most `frameCap`
// of them when the cap is not 0. In capped mode the thread's frame count is never
// asked for: one probe past the cap sets the truncation flag, and the total is 0
// when truncated. Both out-pointers may be null.
void FillFramesFromThread(lldb::SBThread& thread, std::vector<Frame>& frames, uint32_t frameCap,
                          int32_t* totalFrames, bool* truncated);

}  // namespace lldb_debug
