// Frame variable pages (filtered once per frame, converted per page), variable
// children by id, ranges of children and lookup by dotted name path.
#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "engine_impl.h"
#include "env_switches.h"
#include "kotlin_object_decoding.h"
#include "sbvalue_to_variable.h"
#include "variable_ids.h"

namespace lldb_debug {
namespace {

using Clock = std::chrono::steady_clock;

const char* OrUnknown(const char* text) { return text != nullptr ? text : "?"; }
std::string NameOf(lldb::SBValue& value) {
    const char* name = value.GetName();
    return name != nullptr ? name : "";
}

lldb::SBValueList FrameVariables(lldb::SBFrame& frame) { return frame.GetVariables(true, true, false, true); }

// The thread a page (or a child id made by a page) means: T0 is the selected
// thread, falling back to the thread at position 0.
lldb::SBThread PickThread(lldb::SBProcess& process, int32_t t, const char** label) {
    lldb::SBThread thread;
    if (t == 0) {
        thread = process.GetSelectedThread();
        *label = "GetSelectedThread(T0)";
    } else {
        thread = process.GetThreadAtIndex(static_cast<size_t>(t));
        *label = "GetThreadAtIndex";
    }
    if (!thread.IsValid()) {
        thread = process.GetThreadAtIndex(static_cast<size_t>(t));
        *label = "fallback_GetThreadAtIndex(same)";
    }
    if (!thread.IsValid() && t != 0) {
        thread = process.GetThreadAtIndex(0);
        *label = "fallback_GetThreadAtIndex(0)";
    }
    return thread;
}

bool PickVariablesPageThreadAndFrame(lldb::SBProcess& process, int32_t t, int32_t f, const char** label,
                                     lldb::SBThread* thread, lldb::SBFrame* frame) {
    *thread = PickThread(process, t, label);
    if (!thread->IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][getVariables] FAIL no thread T%d F%d (after %s)\n", t, f, *label);
        return false;
    }
    *frame = thread->GetFrameAtIndex(static_cast<uint32_t>(f));
    if (!frame->IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][getVariables] FAIL invalid frame T%d F%d lldb_tid=%llu pick=%s\n", t, f,
                     static_cast<unsigned long long>(thread->GetThreadID()), *label);
        return false;
    }
    std::fprintf(stderr, "[ENGINE_FLOW][getVariables] T%d F%d pick=%s lldb_tid=%llu pc=0x%llx fn=%s\n", t, f, *label,
                 static_cast<unsigned long long>(thread->GetThreadID()),
                 static_cast<unsigned long long>(frame->GetPC()), OrUnknown(frame->GetFunctionName()));
    return true;
}

struct LogVariablesPageRawLocalsDiagParams {
    int32_t t;
    int32_t f;
    lldb::SBThread* thread;
    lldb::SBFrame* frame;
    lldb::SBValueList* list;
    uint32_t rawCount;
};

void LogVariablesPageRawLocalsDiag(const LogVariablesPageRawLocalsDiagParams& p) {
    if (p.thread == nullptr || p.frame == nullptr || p.list == nullptr || !VariableDiagVerbose()) return;
    std::fprintf(stderr, "[VAR_FLOW][getVariables] START lldb_tid=%llu T%d F%d fn=%s pc=0x%llx raw_count=%u\n",
                 static_cast<unsigned long long>(p.thread->GetThreadID()), p.t, p.f,
                 OrUnknown(p.frame->GetFunctionName()), static_cast<unsigned long long>(p.frame->GetPC()), p.rawCount);
    const uint32_t shown = p.rawCount < 24 ? p.rawCount : 24;
    for (uint32_t i = 0; i < shown; ++i) {
        lldb::SBValue value = p.list->GetValueAtIndex(i);
        std::fprintf(stderr, "  raw[%u] -> %s\n", i, value.IsValid() ? OrUnknown(value.GetName()) : "?");
    }
    if (p.rawCount > 24) std::fprintf(stderr, "  ... %u total raw locals\n", p.rawCount);
}

// Every read of an SBValue that prefers dynamic types first asks the language
// runtimes whether the value could have one (several thousand instructions per
// call). Only pointers and references (C++ and Objective-C) can, so any other value
// reads exactly the same objects without that question: itself, its non-synthetic
// form and its type. The setting lives in the page's own list, which ends with the
// page.
class StaticFormReads {
public:
    // Call with the valid values of one list; they all share the list's setting.
    void Prepare(lldb::SBValue& value) {
        if (!known_) {
            listDynamic_ = value.GetPreferDynamicValue();
            known_ = true;
        }
        if (listDynamic_ == lldb::eNoDynamicValues) return;
        value.SetPreferDynamicValue(lldb::eNoDynamicValues);
        constexpr uint32_t kMayBeDynamic =
            lldb::eTypeIsPointer | lldb::eTypeIsReference | lldb::eTypeIsObjC | lldb::eTypeIsBlock;
        const uint32_t flags = value.GetType().GetTypeFlags();
        if (flags == 0 || (flags & kMayBeDynamic) != 0) value.SetPreferDynamicValue(listDynamic_);
    }

private:
    bool known_ = false;
    lldb::DynamicValueType listDynamic_ = lldb::eNoDynamicValues;
};

struct BuildVariablesPageFilteredIndicesParams {
    lldb::SBThread* thread;
    lldb::SBFrame* frame;
    lldb::SBValueList* list;
    uint32_t rawCount;
    int32_t frameIndex;
    std::vector<uint32_t>* out;
    // Set to true when filtering ran (and so prepared the list's values for reading).
    bool* filtered;
};

void BuildVariablesPageFilteredIndices(DebugEngine::Impl& impl, const BuildVariablesPageFilteredIndicesParams& p) {
    if (p.thread == nullptr || p.frame == nullptr || p.list == nullptr || p.out == nullptr) return;
    const uint64_t threadId = p.thread->GetThreadID();
    const uint64_t pc = p.frame->GetPC();
    {
        std::lock_guard<std::mutex> lock(impl.mutex);
        if (impl.pageCacheThreadId == threadId && impl.pageCachePc == pc && impl.pageCacheFrameIndex == p.frameIndex &&
            impl.pageCacheRawCount == p.rawCount && !impl.pageCacheIndices.empty()) {
            *p.out = impl.pageCacheIndices;
        }
    }
    if (!p.out->empty()) return;
    // The stop position is read once for the whole frame; the checks run cheapest
    // first (the value text, which formats the value, only for rows still kept).
    const StopPosition stop = ReadStopPosition(*p.frame);
    if (p.filtered != nullptr) *p.filtered = true;
    StaticFormReads staticForm;
    for (uint32_t i = 0; i < p.rawCount; ++i) {
        lldb::SBValue value = p.list->GetValueAtIndex(i);
        if (!value.IsValid()) continue;
        staticForm.Prepare(value);
        const char* name = value.GetName();
        if (ShouldSkipVariableForUI(name, nullptr) || !value.IsInScope() || !ReachedBySourceOrder(stop, value)) continue;
        if (ShouldSkipVariableForUI(name, value.GetValue())) continue;
        p.out->push_back(i);
    }
    std::lock_guard<std::mutex> lock(impl.mutex);
    impl.pageCacheThreadId = threadId;
    impl.pageCachePc = pc;
    impl.pageCacheFrameIndex = p.frameIndex;
    impl.pageCacheRawCount = p.rawCount;
    impl.pageCacheIndices = *p.out;
}

struct AppendVariablesPageResultSliceParams {
    int32_t t;
    int32_t f;
    lldb::SBFrame* frame;
    lldb::SBValueList* list;
    const std::vector<uint32_t>* indices;
    size_t first;
    size_t end;
    DebugEngine::FrameVariablesPageResult* result;
    // The filtering pass has already switched the list's values to their static form where that reads the same.
    bool valuesPrepared;
};

void AppendVariablesPageResultSlice(const AppendVariablesPageResultSliceParams& p) {
    if (p.frame == nullptr || p.list == nullptr || p.indices == nullptr || p.result == nullptr) return;
    StaticFormReads staticForm;
    for (size_t position = p.first; position < p.end && position < p.indices->size(); ++position) {
        const uint32_t raw = (*p.indices)[position];
        lldb::SBValue value = p.list->GetValueAtIndex(raw);
        if (!value.IsValid()) continue;
        if (!p.valuesPrepared) staticForm.Prepare(value);
        const std::string id = MakeVariableId(p.t, p.f, static_cast<int32_t>(raw), {}, NameOf(value));
        p.result->variables.push_back(SbValueToVariable(*p.frame, value, id, ""));
    }
}

// ---- children ----

// Which children of the resolved value are converted: [first, end) of the records
// the full listing would produce. The full listing is first = 0, end = SIZE_MAX.
struct ChildWindow {
    size_t first = 0;
    size_t end = SIZE_MAX;
    bool Wants(size_t position) const { return position >= first && position < end; }
};

std::string JoinPath(const std::vector<int32_t>& path) {
    std::string text;
    for (size_t i = 0; i < path.size(); ++i) {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "%s%d", i == 0 ? "" : ",", path[i]);
        text += buffer;
    }
    return text;
}

bool IsPointerValue(lldb::SBValue& value) {
    lldb::SBType type = value.GetType();
    return type.IsValid() && type.IsPointerType();
}

// The value an id names: root by index (rebound by name when the raw order
// changed), then the child path.
lldb::SBValue ResolveIdValue(lldb::SBFrame& frame, uint32_t varIndex, const std::string& rootName,
                             const std::vector<int32_t>& path) {
    lldb::SBValueList list = FrameVariables(frame);
    const uint32_t size = list.GetSize();
    LogVariableFlow(
        "[VAR_FLOW][resolveRoot] frame fn=%s pc=0x%llx vars.GetSize=%u varIndex=%d rootNameLock_len=%zu "
        "childPath_len=%zu\n",
        OrUnknown(frame.GetFunctionName()), static_cast<unsigned long long>(frame.GetPC()), size,
        static_cast<int>(varIndex), rootName.size(), path.size());
    if (varIndex >= size) {
        LogVariableFlow("[VAR_FLOW][resolveRoot] FAIL varIndex out of range\n");
        return lldb::SBValue();
    }
    lldb::SBValue current = list.GetValueAtIndex(varIndex);
    if (!current.IsValid()) {
        LogVariableFlow("[VAR_FLOW][resolveRoot] FAIL GetValueAtIndex invalid\n");
        return lldb::SBValue();
    }
    if (!rootName.empty()) {
        const std::string got = NameOf(current);
        if (got != rootName) {
            LogVariableFlow("[VAR_FLOW][resolveRoot] name mismatch at index: want '%s' got '%s' -> scan by name\n",
                            rootName.c_str(), got.c_str());
            bool rebound = false;
            for (uint32_t k = 0; k < size; ++k) {
                lldb::SBValue candidate = list.GetValueAtIndex(k);
                if (candidate.IsValid() && NameOf(candidate) == rootName) {
                    current = candidate;
                    rebound = true;
                    LogVariableFlow("[VAR_FLOW][resolveRoot] re-bound root at k=%u\n", k);
                    break;
                }
            }
            if (!rebound) LogVariableFlow("[VAR_FLOW][resolveRoot] name re-scan FAILED (keep index root)\n");
        }
    }
    LogVariableFlow("[VAR_FLOW][resolveRoot] after root pick name='%s' type='%s' isPtr=%d numChildren=%u\n",
                    NameOf(current).c_str(), current.GetTypeName() != nullptr ? current.GetTypeName() : "",
                    IsPointerValue(current) ? 1 : 0, current.GetNumChildren());
    for (size_t k = 0; k < path.size(); ++k) {
        const int32_t idx = path[k];
        if (IsPointerValue(current) && idx == 0) {
            lldb::SBValue object = KotlinMaterializeObjheaderObject(frame, current);
            if (!object.IsValid()) {
                LogVariableFlow("[VAR_FLOW][resolveRoot] path[%zu] idx=%d -> materialize FAILED\n", k, 0);
                return lldb::SBValue();
            }
            LogVariableFlow("[VAR_FLOW][resolveRoot] path[%zu] idx=%d -> KotlinMaterializeObjheaderObject\n", k, 0);
            current = object;
        } else {
            LogVariableFlow("[VAR_FLOW][resolveRoot] path[%zu] idx=%d -> GetChildAtIndex\n", k, idx);
            current = idx < 0 ? lldb::SBValue() : current.GetChildAtIndex(static_cast<uint32_t>(idx));
        }
        if (!current.IsValid()) {
            LogVariableFlow("[VAR_FLOW][resolveRoot] FAIL at path step %zu idx=%d\n", k, idx);
            return lldb::SBValue();
        }
        LogVariableFlow("[VAR_FLOW][resolveRoot] after step name='%s' numChildren=%u\n", NameOf(current).c_str(),
                        current.GetNumChildren());
    }
    LogVariableFlow("[VAR_FLOW][resolveRoot] OK\n");
    return current;
}

std::string ParentTypeText(lldb::SBValue& value) {
    const std::string name = NameOf(value);
    const std::string type = value.GetTypeName() != nullptr ? value.GetTypeName() : "";
    if (!name.empty() && !type.empty()) return name + " " + type;
    return name.empty() ? type : name;
}

std::vector<int32_t> Extend(const std::vector<int32_t>& path, std::initializer_list<int32_t> more) {
    std::vector<int32_t> out = path;
    out.insert(out.end(), more);
    return out;
}

std::vector<Variable> CollectVariableChildrenBody(lldb::SBProcess process, const std::string& id,
                                                  const ChildWindow& window) {
    const bool timing = LldbDebugChildFetchTiming();
    const auto start = Clock::now();
    std::vector<Variable> out;
    LogVariableFlow("[VAR_FLOW][getVariableChildren] START id=%s\n", id.c_str());
    if (!process.IsValid()) return out;

    uint32_t tid = 0, fid = 0, varIndex = 0;
    std::vector<int32_t> path;
    std::string rootName;
    if (!ParseVariableId(id, {&tid, &fid, &varIndex, &path, &rootName})) {
        LogVariableFlow("[VAR_FLOW][getVariableChildren] ParseVariableId FAILED\n");
        return out;
    }
    if (LldbDebugVariableFlow()) {
        std::fprintf(stderr, "[VAR_FLOW][getVariableChildren] parsed tid=%d fid=%d varIndex=%d rootNameLock_len=%zu path=[%s]\n",
                     static_cast<int>(tid), static_cast<int>(fid), static_cast<int>(varIndex), rootName.size(),
                     JoinPath(path).c_str());
    }
    // T0 names the selected thread, as on the page that issued the id.
    const char* label = "";
    lldb::SBThread thread = tid == 0 ? PickThread(process, 0, &label) : process.GetThreadAtIndex(tid);
    if (!thread.IsValid()) {
        LogVariableFlow("[VAR_FLOW][getVariableChildren] GetThreadAtIndex(%d) invalid\n", static_cast<int>(tid));
        return out;
    }
    lldb::SBFrame frame = thread.GetFrameAtIndex(fid);
    if (!frame.IsValid()) {
        LogVariableFlow("[VAR_FLOW][getVariableChildren] GetFrameAtIndex(%d) invalid\n", static_cast<int>(fid));
        return out;
    }
    LogVariableFlow("[VAR_FLOW][getVariableChildren] thread lldb_tid=%llu frames=%u\n",
                    static_cast<unsigned long long>(thread.GetThreadID()), thread.GetNumFrames());

    lldb::SBValue resolved = ResolveIdValue(frame, varIndex, rootName, path);
    if (!resolved.IsValid()) {
        LogVariableFlowDiag("[VAR_FLOW][getVariableChildren] resolveRoot failed id=%s\n", id.c_str());
        return out;
    }
    const auto resolvedAt = Clock::now();

    lldb::SBValue enumValue = resolved;
    const uint32_t resolvedCount = resolved.GetNumChildren();
    lldb::SBValue ns = resolved.GetNonSyntheticValue();
    uint32_t usedCount = resolvedCount;
    if (ns.IsValid()) {
        const uint32_t nsCount = ns.GetNumChildren();
        if (nsCount != 0 && (nsCount > resolvedCount || resolvedCount == 0)) {
            enumValue = ns;
            usedCount = nsCount;
        }
    }
    const auto pickedAt = Clock::now();
    if (VariableDiagVerbose()) {
        const bool switched = ns.IsValid() && ns.GetNumChildren() != resolvedCount;
        LogVariableFlowDiag(
            "[VAR_FLOW][getVariableChildren] enum id=%s fn=%s rootLock_len=%zu root=%s type=%s numChild(syn)=%u "
            "numChild(used)=%u nonSynSwitch=%d\n",
            id.c_str(), OrUnknown(frame.GetFunctionName()), rootName.size(), OrUnknown(enumValue.GetName()),
            OrUnknown(enumValue.GetTypeName()), resolvedCount, usedCount, switched ? 1 : 0);
    }
    const std::string parentType = ParentTypeText(enumValue);
    const double resolveMs = KotlinTypeElapsedMs(start, resolvedAt);
    const double pickMs = KotlinTypeElapsedMs(resolvedAt, pickedAt);

    lldb::SBValue object;
    const bool pointer = IsPointerValue(enumValue);
    if (pointer) object = KotlinMaterializeObjheaderObject(frame, enumValue);
    if (!object.IsValid()) object = KotlinMaterializeObjheaderFromHeapAddressValue(frame, enumValue);

    double sumChildMs = 0;
    double sumConvertMs = 0;
    // Lists children [0, n) of `list` under `prefix`, converting only the window.
    // A child that LLDB cannot produce is left out, so positions count valid
    // children only and a window selects exactly what slicing the full list would.
    auto listChildren = [&](lldb::SBValue& list, uint32_t n, std::initializer_list<int32_t> prefix, bool logEach) {
        size_t position = 0;
        uint32_t i = 0;
        // LLDB makes every child of a plain (non-synthetic) value below its count, so
        // a window can start at its own index; a formatter's children may be missing
        // and are counted one by one.
        if (window.first > 0 && !list.IsSynthetic() && window.first < n) {
            i = static_cast<uint32_t>(window.first);
            position = window.first;
        }
        for (; i < n && position < window.end; ++i) {
            const auto c0 = Clock::now();
            lldb::SBValue child = list.GetChildAtIndex(i);
            const auto c1 = Clock::now();
            sumChildMs += KotlinTypeElapsedMs(c0, c1);
            if (!child.IsValid()) continue;
            if (!window.Wants(position++)) continue;
            std::vector<int32_t> childPath = Extend(path, prefix);
            childPath.push_back(static_cast<int32_t>(i));
            const std::string childId = MakeVariableId(static_cast<int32_t>(tid), static_cast<int32_t>(fid),
                                                       static_cast<int32_t>(varIndex), childPath, rootName);
            Variable record = SbValueToVariable(frame, child, childId, parentType);
            sumConvertMs += KotlinTypeElapsedMs(c1, Clock::now());
            if (logEach) {
                LogVariableFlow("[VAR_FLOW][getVariableChildren]   [%u] child id=%s name=%s hasChildren=%d numChildren=%d\n",
                                i, childId.c_str(), record.name.empty() ? "?" : record.name.c_str(),
                                record.hasChildren ? 1 : 0, static_cast<int>(record.numChildren));
            }
            out.push_back(std::move(record));
        }
    };

    if (object.IsValid()) {
        lldb::SBValue list = PickValueForChildEnumeration(object);
        const uint32_t nd = list.GetNumChildren();
        if (nd == 0) {
            const std::string childId = MakeVariableId(static_cast<int32_t>(tid), static_cast<int32_t>(fid),
                                                       static_cast<int32_t>(varIndex), Extend(path, {0}), rootName);
            const auto c0 = Clock::now();
            if (window.Wants(0)) {
                Variable record = SbValueToVariable(frame, object, childId, parentType);
                record.name = "*" + record.name;
                out.push_back(std::move(record));
            }
            const double convertMs = KotlinTypeElapsedMs(c0, Clock::now());
            LogVariableFlow("[VAR_FLOW][getVariableChildren] POINTER branch -> 1 synthetic child *deref child_variableId=%s\n",
                            childId.c_str());
            if (timing) {
                std::fprintf(stderr,
                             "[TIMING] getVariableChildren branch=POINTER_DEREF_SINGLE id=%s resolve_ms=%.3f "
                             "enum_pick_ms=%.3f sbValueToVariable_ms=%.3f total_ms=%.3f\n",
                             id.c_str(), resolveMs, pickMs, convertMs, KotlinTypeElapsedMs(start, Clock::now()));
                std::fflush(stderr);
            }
            return out;
        }
        listChildren(list, nd, {0}, false);
        if (timing) {
            std::fprintf(stderr,
                         "[TIMING] getVariableChildren branch=POINTER_DEREF_MULTI id=%s resolve_ms=%.3f enum_pick_ms=%.3f "
                         "sum_GetChildAtIndex_ms=%.3f sum_sbValueToVariable_ms=%.3f total_ms=%.3f nd=%u\n",
                         id.c_str(), resolveMs, pickMs, sumChildMs, sumConvertMs,
                         KotlinTypeElapsedMs(start, Clock::now()), nd);
            std::fflush(stderr);
        }
        return out;
    }

    if (pointer) {
        LogVariableFlow(
            "[VAR_FLOW][getVariableChildren] POINTER materialize invalid (ObjHeader* expr fallback also failed)\n");
    }
    const auto n0 = Clock::now();
    const uint32_t n = enumValue.GetNumChildren();
    const double countMs = KotlinTypeElapsedMs(n0, Clock::now());
    LogVariableFlow("[VAR_FLOW][getVariableChildren] iterating GetChildAtIndex n=%u\n", n);
    listChildren(enumValue, n, {}, true);
    LogVariableFlow("[VAR_FLOW][getVariableChildren] END count=%zu id=%s\n", out.size(), id.c_str());
    if (timing) {
        std::fprintf(stderr,
                     "[TIMING] getVariableChildren branch=DEFAULT_ENUM id=%s resolve_ms=%.3f enum_pick_ms=%.3f "
                     "GetNumChildren_ms=%.3f sum_GetChildAtIndex_ms=%.3f sum_sbValueToVariable_ms=%.3f total_ms=%.3f "
                     "n=%u out=%zu\n",
                     id.c_str(), resolveMs, pickMs, countMs, sumChildMs, sumConvertMs,
                     KotlinTypeElapsedMs(start, Clock::now()), n, out.size());
        std::fflush(stderr);
    }
    return out;
}

bool WalkVariablePathAfterRoot(lldb::SBValue value, const std::vector<std::string>& names,
                               std::vector<int32_t>* indices) {
    lldb::SBValue current = value;
    for (size_t k = 1; k < names.size(); ++k) {
        const uint32_t count = current.GetNumChildren();
        if (count == 0) return false;
        bool found = false;
        for (uint32_t i = 0; i < count; ++i) {
            lldb::SBValue child = current.GetChildAtIndex(i);
            if (child.IsValid() && NameOf(child) == names[k]) {
                indices->push_back(static_cast<int32_t>(i));
                current = child;
                found = true;
                break;
            }
        }
        if (!found || !current.IsValid()) return false;
    }
    return true;
}

std::vector<std::string> SplitDottedPath(const std::string& path) {
    std::vector<std::string> names;
    size_t i = 0;
    while (i < path.size()) {
        if (path[i] == ' ' || path[i] == '.') {
            ++i;
            continue;
        }
        size_t dot = path.find('.', i);
        if (dot == std::string::npos) dot = path.size();
        names.push_back(path.substr(i, dot - i));
        i = dot;
    }
    return names;
}

}  // namespace

DebugEngine::FrameVariablesPageResult DebugEngine::GetVariablesPage(int32_t threadIndex, int32_t frameIndex,
                                                                    int32_t offset, int32_t count) const {
    FrameVariablesPageResult result;
    if (offset < 0) offset = 0;
    lldb::SBProcess process = impl->process;
    if (!process.IsValid()) return result;
    const char* label = "";
    lldb::SBThread thread;
    lldb::SBFrame frame;
    if (!PickVariablesPageThreadAndFrame(process, threadIndex, frameIndex, &label, &thread, &frame)) return result;
    lldb::SBValueList list = FrameVariables(frame);
    const uint32_t rawCount = list.GetSize();
    LogVariablesPageRawLocalsDiag({threadIndex, frameIndex, &thread, &frame, &list, rawCount});
    std::vector<uint32_t> indices;
    bool filtered = false;
    BuildVariablesPageFilteredIndices(*impl, {&thread, &frame, &list, rawCount, frameIndex, &indices, &filtered});
    result.totalFiltered = static_cast<int32_t>(indices.size());
    const SliceBounds slice = ClampSlice(indices.size(), offset, count);
    if (slice.end > slice.first) {
        result.variables.reserve(slice.end - slice.first);
        AppendVariablesPageResultSlice(
            {threadIndex, frameIndex, &frame, &list, &indices, slice.first, slice.end, &result, filtered});
        if (LldbDebugVariableFlow()) {
            std::fprintf(stderr, "[VAR_FLOW][getVariables] END page=%zu total_filtered=%d\n", result.variables.size(),
                         result.totalFiltered);
        }
    }
    return result;
}

std::vector<Variable> DebugEngine::GetVariables(int32_t threadIndex, int32_t frameIndex) const {
    return GetVariablesPage(threadIndex, frameIndex, 0, 2147483647).variables;
}

void DebugEngine::ClearFrameVariablesPageCache() {
    if (!impl) return;
    std::lock_guard<std::mutex> lock(impl->mutex);
    impl->pageCacheRawCount = 0;
    impl->pageCacheIndices.clear();
    impl->pageCacheFrameIndex = -1;
    impl->pageCacheThreadId = 0;
    impl->pageCachePc = 0;
}

std::vector<Variable> DebugEngine::GetVariableChildren(const std::string& variableId) const {
    return CollectVariableChildrenBody(impl->process, variableId, ChildWindow{});
}

std::vector<Variable> DebugEngine::GetVariableChildrenRange(const std::string& variableId, int32_t start,
                                                            int32_t count) const {
    if (count <= 0 || start < 0) return {};
    ChildWindow window;
    window.first = static_cast<size_t>(start);
    window.end = window.first + static_cast<size_t>(count);
    return CollectVariableChildrenBody(impl->process, variableId, window);
}

std::vector<Variable> DebugEngine::GetChildVariablesByPath(int32_t threadIndex, int32_t frameIndex,
                                                           const std::string& path) const {
    lldb::SBProcess process = impl->process;
    if (!process.IsValid() || path.empty()) return {};
    const std::vector<std::string> names = SplitDottedPath(path);
    if (names.empty()) return {};
    // The id built below is resolved with the page's thread pick, so the root is looked up there too.
    lldb::SBThread thread;
    if (threadIndex != 0) thread = process.GetThreadAtIndex(static_cast<size_t>(threadIndex));
    if (!thread.IsValid()) thread = process.GetSelectedThread();
    if (!thread.IsValid()) thread = process.GetThreadAtIndex(0);
    if (!thread.IsValid()) return {};
    lldb::SBFrame frame = thread.GetFrameAtIndex(static_cast<uint32_t>(frameIndex));
    if (!frame.IsValid()) return {};
    lldb::SBValueList list = FrameVariables(frame);
    const uint32_t size = list.GetSize();
    const StopPosition stop = ReadStopPosition(frame);
    for (uint32_t k = 0; k < size; ++k) {
        lldb::SBValue value = list.GetValueAtIndex(k);
        if (!value.IsValid() || NameOf(value) != names[0] || !value.IsInScope() || !ReachedBySourceOrder(stop, value)) {
            continue;
        }
        std::vector<int32_t> indices;
        if (names.size() > 1 && !WalkVariablePathAfterRoot(value, names, &indices)) return {};
        return GetVariableChildren(MakeVariableId(threadIndex, frameIndex, static_cast<int32_t>(k), indices, names[0]));
    }
    return {};
}

}  // namespace lldb_debug
