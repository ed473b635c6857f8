// zeldll.so: the drag switch and the drag filter of a document.
#include "companions/zeldll/internal.h"
#include "companions/zeldll/zeldll_api.h"

namespace zel::zeldll {
namespace {

// Counts the points the user gives while a command's drag filter is on.
class FilterMonitor : public AcEdInputPointMonitor {
public:
    explicit FilterMonitor(DocRecord& record) : mRecord(record) {}
    Acad::ErrorStatus monitorInputPoint(const AcEdInputPoint&,
                                        AcEdInputPointMonitorResult&) override {
        ++mRecord.filterPoints;
        return Acad::eOk;
    }

private:
    DocRecord& mRecord;
};

AcApDocument* documentOf(AcApDocument* doc) {
    return doc ? doc : curDoc();
}

} // namespace
} // namespace zel::zeldll

using namespace zel::zeldll;

ZEL_ARX_EXPORT int dll_zel_DrgSw(AcApDocument* doc, void* command, int on) {
    DocRecord* rec = docRecord(doc);
    if (!rec) return 0;
    if (on) {
        rec->dragCommand = command;
        rec->settings[L"DragSwitch"] = L"1";
        return 1;
    }
    if (rec->dragCommand != command) return 0;
    rec->dragCommand = nullptr;
    rec->settings[L"DragSwitch"] = L"0";
    return 1;
}

ZEL_ARX_EXPORT int dll_Start_DragFilter(AcApDocument* doc, void* command) {
    doc = documentOf(doc);
    DocRecord* rec = doc ? docRecord(doc) : nullptr;
    if (!rec || rec->filterOn) return 0;
    auto monitor = std::make_unique<FilterMonitor>(*rec);
    if (doc->inputPointManager()->addPointMonitor(monitor.get()) != Acad::eOk) return 0;
    rec->filter = std::move(monitor);
    rec->filterOn = true;
    rec->filterCommand = command;
    rec->filterPoints = 0;
    return 1;
}

ZEL_ARX_EXPORT int dll_End_DragFilter(AcApDocument* doc) {
    doc = documentOf(doc);
    DocRecord* rec = doc ? docRecord(doc) : nullptr;
    if (!rec || !rec->filterOn) return 0;
    doc->inputPointManager()->removePointMonitor(rec->filter.get());
    rec->filter.reset();
    rec->filterOn = false;
    rec->filterCommand = nullptr;
    rec->settings[L"DragFilter/Points"] = std::to_wstring(rec->filterPoints);
    return 1;
}
