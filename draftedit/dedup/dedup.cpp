// The entry of a removal run, the options word, the counters and the texts of a run.
#include "draftedit/dedup/dedup.h"

#include "draftedit/dedup/dedup_run.h"

#include <cassert>
#include <cwchar>
#include <utility>

namespace zel::dedup {

// ---- Options ------------------------------------------------------------------------------------

DupOptions DupOptions::fromSetting(const std::wstring& text) {
    if (text.empty() || text.size() > 3) return DupOptions();
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return DupOptions();
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value <= kAllBits ? DupOptions(value) : DupOptions();
}

std::wstring DupOptions::toSetting() const {
    return std::to_wstring(bits_);
}

bool DupOptions::qualifies(DupKind kind) const {
    switch (kind) {
    case DupKind::Line:
        return has(ExactLines) || has(PartialLines);
    case DupKind::Circle:
        return has(ExactCircles) || has(PartialCircles);
    case DupKind::Arc:
        return has(ExactArcs) || has(PartialArcs);
    }
    assert(!"unknown record kind");
    return false;
}

// ---- Counters and texts -------------------------------------------------------------------------

int DupCounters::total() const {
    int sum = 0;
    for (int v : values)
        sum += v;
    return sum;
}

const wchar_t* dupCounterLabel(DupCounter c) {
    switch (c) {
    case DupCounter::DeletedLines:
        return L"削除された線分\u3000";
    case DupCounter::DeletedCircles:
        return L"削除された円\u3000\u3000";
    case DupCounter::DeletedArcs:
        return L"削除された円弧\u3000";
    case DupCounter::TrimmedLines:
        return L"トリムされた線分";
    case DupCounter::TrimmedArcs:
        return L"トリムされた円弧";
    case DupCounter::MergedLines:
        return L"一本化された線分";
    case DupCounter::MergedCircles:
        return L"一本化された円\u3000";
    case DupCounter::MergedArcs:
        return L"一本化された円弧";
    }
    assert(!"unknown counter");
    return L"";
}

std::wstring dupProgressText(int k, int n) {
    return L"処理中.....\u3000\u3000" + std::to_wstring(k) + L"/" + std::to_wstring(n);
}

const wchar_t* dupStatusText(int result) {
    if (result < 0) return L"ｵﾌﾞｼﾞｪｸﾄ(線分,円,円弧)が選択されていません.";
    if (result == 0) return L"重複するｵﾌﾞｼﾞｪｸﾄが見つかりません.";
    return L"重複するｵﾌﾞｼﾞｪｸﾄを処理しました.";
}

std::wstring dupListing(const DupResult& result) {
    std::wstring text;
    for (int c = 0; c < kDupCounterCount; ++c) {
        auto counter = static_cast<DupCounter>(c);
        text += dupCounterLabel(counter);
        text += L"\t ... " + std::to_wstring(result.counters[counter]) + L"\n";
    }
    if (result.interrupted) text += std::wstring(L"\n") + kDupInterrupted;
    return text;
}

// ---- The run ------------------------------------------------------------------------------------

DupResult removeDuplicates(std::vector<DupItem> items, int selected, DupOptions options,
                           DupEditor& editor, DupMonitor& monitor, DupProcedure procedure) {
    DupResult result;
    if (selected <= 0) {
        result.result = -1;
        return result;
    }
    if (selected > kDupPreprocessingThreshold) monitor.preprocessing(selected);
    std::erase_if(items, [options](const DupItem& item) { return !takesPart(item, options); });
    for (DupItem& item : items)
        item.merged = item.trimmed = false; // counted from this run on
    DupRun run(std::move(items), options, editor);
    result.interrupted =
        procedure == DupProcedure::Pairwise ? runPairwise(run, monitor) : runGrouped(run, monitor);
    result.counters = run.counters();
    result.result = result.counters.total();
    result.remaining = run.takeRemaining();
    return result;
}

} // namespace zel::dedup
