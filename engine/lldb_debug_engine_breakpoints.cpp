// Breakpoints. LLDB's breakpoint objects are the only store: the engine keeps no
// table of its own and hands out LLDB's ids.
#include <cstdio>

#include "diagnostics.h"
#include "engine_impl.h"

namespace lldb_debug {
namespace {

// Where a source breakpoint went: the breakpoint, the accepted candidate, the line.
struct FileLineBreakpointCreateResult {
    lldb::SBBreakpoint bp;
    std::string path;
    int line = 0;
};

DebugEvent BreakpointEvent(EventType type, int id) {
    DebugEvent event;
    event.type = type;
    event.breakpointId = id;
    return event;
}

// Line entry of a location's address; invalid when the location has none.
lldb::SBLineEntry LocationLineEntry(lldb::SBBreakpointLocation location) {
    if (!location.IsValid()) return lldb::SBLineEntry();
    lldb::SBAddress address = location.GetAddress();
    if (!address.IsValid()) return lldb::SBLineEntry();
    return address.GetLineEntry();
}

lldb::SBLineEntry FirstLocationLineEntry(lldb::SBBreakpoint& bp) {
    if (bp.GetNumLocations() < 1) return lldb::SBLineEntry();
    return LocationLineEntry(bp.GetLocationAtIndex(0));
}

// Sets `file` from the entry's file spec when it is valid, with its source-path line.
void TakeEntryFile(const lldb::SBLineEntry& entry, const char* tag, int index, std::string& file) {
    lldb::SBFileSpec spec = entry.GetFileSpec();
    if (!spec.IsValid()) return;
    file = FileSpecToPath(spec);
    LogLineEntryFilespec(tag, index, spec, file);
}

BreakpointLocation MakeLocation(lldb::SBTarget& target, lldb::SBBreakpointLocation& location, int index) {
    BreakpointLocation out;
    out.locationId = location.GetID();
    lldb::SBAddress address = location.GetAddress();
    if (!address.IsValid()) return out;
    out.address = address.GetLoadAddress(target);
    out.resolved = true;
    lldb::SBLineEntry entry = address.GetLineEntry();
    if (entry.IsValid()) {
        out.line = static_cast<int32_t>(entry.GetLine());
        out.column = static_cast<int32_t>(entry.GetColumn());
        TakeEntryFile(entry, "getBreakpointLocation", index, out.file);
    }
    return out;
}

}  // namespace

BreakpointResult DebugEngine::SetBreakpoint(const std::string& file, int line, const std::string& condition,
                                            const std::vector<std::string>& fallbackPaths) {
    BreakpointResult result;
    if (!impl->target.IsValid()) {
        result.errorMessage = "target invalid";
        return result;
    }
    std::vector<std::string> candidates;
    if (!file.empty()) candidates.push_back(file);
    for (const std::string& path : fallbackPaths) {
        if (!path.empty()) candidates.push_back(path);
    }
    if (candidates.empty()) {
        result.errorMessage = "no file or fallback paths";
        return result;
    }
    // LLDB accepts any path, placing it nowhere when the debug info names the file
    // differently; such a pending breakpoint only stands when no later candidate
    // places one, or the fallback paths could never take effect.
    FileLineBreakpointCreateResult created;
    FileLineBreakpointCreateResult pending;
    for (const std::string& candidate : candidates) {
        lldb::SBBreakpoint bp = impl->target.BreakpointCreateByLocation(candidate.c_str(), static_cast<uint32_t>(line));
        if (!bp.IsValid()) continue;
        if (bp.GetNumLocations() > 0) {
            created = {bp, candidate, line};
            break;
        }
        if (pending.bp.IsValid()) {
            impl->target.BreakpointDelete(bp.GetID());
        } else {
            pending = {bp, candidate, line};
        }
    }
    if (!created.bp.IsValid()) {
        created = pending;
    } else if (pending.bp.IsValid()) {
        impl->target.BreakpointDelete(pending.bp.GetID());
    }
    if (!created.bp.IsValid()) {
        result.errorMessage = "breakpoint create failed for all paths";
        return result;
    }
    lldb::SBBreakpoint& bp = created.bp;
    result.resolvedFile = created.path;
    result.resolvedLine = created.line;
    lldb::SBLineEntry entry = FirstLocationLineEntry(bp);
    if (entry.IsValid()) {
        result.resolvedLine = static_cast<int32_t>(entry.GetLine());
        TakeEntryFile(entry, "setBreakpoint_resolved_loc0", 0, result.resolvedFile);
    }
    if (!condition.empty()) bp.SetCondition(condition.c_str());
    result.valid = true;
    result.breakpointId = static_cast<int32_t>(bp.GetID());
    result.locationCount = static_cast<int32_t>(bp.GetNumLocations());
    EmitEvent(BreakpointEvent(EventType::BreakpointAdded, result.breakpointId));
    return result;
}

int DebugEngine::AddBreakpointByLocation(const std::string& file, int line) {
    if (!impl->target.IsValid()) return 0;
    lldb::SBBreakpoint bp = impl->target.BreakpointCreateByLocation(file.c_str(), static_cast<uint32_t>(line));
    if (!bp.IsValid()) return 0;
    const int id = static_cast<int>(bp.GetID());
    EmitEvent(BreakpointEvent(EventType::BreakpointAdded, id));
    return id;
}

int DebugEngine::AddBreakpointByName(const std::string& name) {
    if (!impl->target.IsValid() || name.empty()) return 0;
    lldb::SBBreakpoint bp = impl->target.BreakpointCreateByName(name.c_str(), nullptr);
    if (!bp.IsValid()) return 0;
    const int id = static_cast<int>(bp.GetID());
    EmitEvent(BreakpointEvent(EventType::BreakpointAdded, id));
    return id;
}

bool DebugEngine::RemoveBreakpoint(int id) {
    if (!impl->target.IsValid()) return false;
    const bool ok = impl->target.BreakpointDelete(static_cast<lldb::break_id_t>(id));
    if (ok) EmitEvent(BreakpointEvent(EventType::BreakpointRemoved, id));
    return ok;
}

bool DebugEngine::SetBreakpointEnabled(int id, bool enabled) {
    if (!impl->target.IsValid()) return false;
    lldb::SBBreakpoint bp = impl->target.FindBreakpointByID(static_cast<lldb::break_id_t>(id));
    if (!bp.IsValid()) return false;
    bp.SetEnabled(enabled);
    EmitEvent(BreakpointEvent(EventType::BreakpointChanged, id));
    return true;
}

bool DebugEngine::SetBreakpointCondition(int id, const std::string& condition) {
    if (!impl->target.IsValid()) return false;
    lldb::SBBreakpoint bp = impl->target.FindBreakpointByID(static_cast<lldb::break_id_t>(id));
    if (!bp.IsValid()) return false;
    bp.SetCondition(condition.c_str());
    return true;
}

bool DebugEngine::SetBreakpointIgnoreCount(int id, int count) {
    if (!impl->target.IsValid()) return false;
    lldb::SBBreakpoint bp = impl->target.FindBreakpointByID(static_cast<lldb::break_id_t>(id));
    if (!bp.IsValid()) return false;
    bp.SetIgnoreCount(static_cast<uint32_t>(count));
    return true;
}

std::vector<Breakpoint> DebugEngine::GetBreakpoints() const {
    std::vector<Breakpoint> result;
    lldb::SBTarget& target = impl->target;
    if (!target.IsValid()) return result;
    const uint32_t n = target.GetNumBreakpoints();
    for (uint32_t i = 0; i < n; ++i) {
        lldb::SBBreakpoint bp = target.GetBreakpointAtIndex(i);
        if (!bp.IsValid()) continue;
        Breakpoint out;
        out.id = static_cast<int32_t>(bp.GetID());
        out.enabled = bp.IsEnabled();
        if (const char* condition = bp.GetCondition()) out.condition = condition;
        out.hitCount = bp.GetHitCount();
        out.ignoreCount = bp.GetIgnoreCount();
        lldb::SBLineEntry entry = FirstLocationLineEntry(bp);
        if (entry.IsValid()) {
            out.line = static_cast<int32_t>(entry.GetLine());
            TakeEntryFile(entry, "getBreakpoints", static_cast<int>(i), out.file);
        }
        lldb::SBStringList names;
        bp.GetNames(names);
        if (names.GetSize() >= 1 && names.GetStringAtIndex(0) != nullptr) out.functionName = names.GetStringAtIndex(0);
        const size_t locations = bp.GetNumLocations();
        for (size_t j = 0; j < locations; ++j) {
            lldb::SBBreakpointLocation location = bp.GetLocationAtIndex(static_cast<uint32_t>(j));
            if (!location.IsValid()) continue;
            out.locations.push_back(MakeLocation(target, location, static_cast<int>(j)));
        }
        result.push_back(std::move(out));
    }
    return result;
}

}  // namespace lldb_debug
