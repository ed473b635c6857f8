#include "draftedit/commands/deldup.h"

#include "arx/db.h"
#include "arx/dbads.h"
#include "arx/dbents_simple.h"
#include "arx/dbmain.h"
#include "arx/dbsymtb.h"
#include "arx/dlg.h"
#include "arx/ed.h"
#include "common/drag/drag.h"
#include "common/services/hoststate.h"
#include "common/support/zelsupport.h"
#include "draftedit/dedup/dedup.h"

#include <memory>
#include <numbers>
#include <unordered_map>
#include <vector>

namespace draftedit {
namespace {

using namespace zel::dedup;

constexpr unsigned kDeldupOptions = kDragBarCoord; // 0x40
constexpr int kOptionControls[] = {1000, 1001, 1002, 1003, 1004, 1015, 1006, 1007};
constexpr int kListingControl = 1050;

// ---- the dialogs --------------------------------------------------------------------------

class CDDupDlg : public CDialog {
public:
    explicit CDDupDlg(unsigned bits) : CDialog(139u), mBits(bits) {}
    unsigned bits() const { return mBits; }

protected:
    bool OnInitDialog() override {
        SetWindowText((ZelProductName() + L" - 重複除去").c_str());
        for (int i = 0; i < 8; ++i)
            CheckDlgButton(kOptionControls[i], (mBits >> i) & 1u);
        return true;
    }
    void OnOK() override {
        mBits = 0;
        for (int i = 0; i < 8; ++i)
            if (IsDlgButtonChecked(kOptionControls[i])) mBits |= 1u << i;
        CDialog::OnOK();
    }

private:
    unsigned mBits;
};

class CDDResDlg : public CDialog {
public:
    explicit CDDResDlg(std::wstring listing) : CDialog(140u), mListing(std::move(listing)) {}

protected:
    bool OnInitDialog() override {
        SetDlgItemText(kListingControl, mListing.c_str());
        return true;
    }

private:
    std::wstring mListing;
};

// ---- the drawing side of a run ------------------------------------------------------------

// The entities of a run by their keys.
using Entities = std::unordered_map<EntityKey, AcDbObjectId>;

template <class T> class Writable {
public:
    Writable(const Entities& entities, EntityKey key) {
        auto it = entities.find(key);
        if (it == entities.end() || acdbOpenObject(mObj, it->second, AcDb::kForWrite) != Acad::eOk)
            mObj = nullptr;
        if (!mObj) acutPrintf(L"%s", kDupOpenFailed);
    }
    ~Writable() {
        if (mObj) mObj->close();
    }
    Writable(const Writable&) = delete;
    Writable& operator=(const Writable&) = delete;
    T* operator->() const { return mObj; }
    explicit operator bool() const { return mObj != nullptr; }

private:
    T* mObj = nullptr;
};

AcGePoint3d point(const DupPoint& p) {
    return AcGePoint3d(p.x, p.y, p.z);
}

class DrawingEditor : public DupEditor {
public:
    explicit DrawingEditor(Entities& entities) : mEntities(entities) {}

    bool erase(const DupItem& item) override {
        Writable<AcDbEntity> e(mEntities, item.id);
        return e && e->erase() == Acad::eOk;
    }
    bool setLineEnds(const DupItem& line, const DupPoint& start, const DupPoint& end) override {
        Writable<AcDbLine> e(mEntities, line.id);
        return e && e->setStartPoint(point(start)) == Acad::eOk &&
               e->setEndPoint(point(end)) == Acad::eOk;
    }
    bool setArcAngles(const DupItem& arc, double startAngle, double endAngle) override {
        Writable<AcDbArc> e(mEntities, arc.id);
        return e && e->setStartAngle(startAngle) == Acad::eOk &&
               e->setEndAngle(endAngle) == Acad::eOk;
    }
    std::optional<EntityKey> replaceArcByCircle(const DupItem& arc) override {
        AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
        AcDbBlockTable* table = nullptr;
        if (!db || db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) return std::nullopt;
        AcDbBlockTableRecord* space = nullptr;
        Acad::ErrorStatus es = table->getAt(ACDB_MODEL_SPACE, space, AcDb::kForWrite);
        table->close();
        if (es != Acad::eOk) return std::nullopt;
        auto circle =
            std::make_unique<AcDbCircle>(point(arc.centre), AcGeVector3d::kZAxis, arc.radius);
        circle->setColorIndex(int16_t(arc.colour));
        circle->setLinetype(arc.linetype.c_str());
        circle->setLayer(arc.layer.c_str());
        AcDbObjectId id;
        es = space->appendAcDbEntity(id, circle.get());
        space->close();
        if (es != Acad::eOk) return std::nullopt;
        circle.release()->close(); // the drawing owns it now
        if (!erase(arc)) return std::nullopt;
        EntityKey key = EntityKey(id.asOldId());
        mEntities[key] = id;
        return key;
    }

private:
    Entities& mEntities;
};

class StatusMonitor : public DupMonitor {
public:
    void preprocessing(int) override { acedSetStatusBarProgressMeter(kDupPreprocessingText, 0, 0); }
    void progress(int k, int n) override {
        acedSetStatusBarProgressMeter(dupProgressText(k, n).c_str(), 0, 0);
    }
    bool userBreak() override { return acedUsrBrk() != 0; }
};

// ---- records of the selection -------------------------------------------------------------

bool recordOf(const ads_name ent, DupItem& item, Entities& entities) {
    AcDbObjectId id;
    AcDbEntity* e = nullptr;
    if (acdbGetObjectId(id, ent) != Acad::eOk) return false;
    if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk || !e) return false;
    item.id = EntityKey(id.asOldId());
    entities[item.id] = id;
    item.linetype = e->linetype();
    item.layer = e->layer();
    item.colour = e->colorIndex();
    bool ok = true;
    if (auto* line = dynamic_cast<AcDbLine*>(e)) {
        item.kind = DupKind::Line;
        AcGePoint3d s = line->startPoint(), t = line->endPoint();
        item.start = {s.x, s.y, s.z};
        item.end = {t.x, t.y, t.z};
    } else if (auto* arc = dynamic_cast<AcDbArc*>(e)) {
        item.kind = DupKind::Arc;
        AcGePoint3d c = arc->center();
        item.centre = {c.x, c.y, c.z};
        item.radius = arc->radius();
        item.startAngle = arc->startAngle();
        item.endAngle = arc->endAngle();
    } else if (auto* circle = dynamic_cast<AcDbCircle*>(e)) {
        item.kind = DupKind::Circle;
        AcGePoint3d c = circle->center();
        item.centre = {c.x, c.y, c.z};
        item.radius = circle->radius();
        item.endAngle = 2 * std::numbers::pi;
    } else {
        ok = false;
    }
    e->close();
    return ok;
}

std::vector<DupItem> recordsOf(const ads_name ss, int& selected, Entities& entities) {
    std::vector<DupItem> items;
    int32_t n = 0;
    selected = acedSSLength(ss, &n) == RTNORM ? int(n) : 0;
    for (int32_t i = 0; i < n; ++i) {
        ads_name ent;
        DupItem item;
        if (acedSSName(ss, i, ent) == RTNORM && recordOf(ent, item, entities))
            items.push_back(item);
    }
    return items;
}

// ---- the command object -------------------------------------------------------------------

class CFuncDELDUP : public CDrag {
public:
    static CDrag* s_instance;

    CFuncDELDUP() {
        std::wstring text;
        ZelGetCmnText(kDDupModeKey, text, L"47");
        mOptions = DupOptions::fromSetting(text);
        init(&s_instance, kDeldupOptions);
    }
    ~CFuncDELDUP() override { ZelSetCmnText(kDDupModeKey, mOptions.toSetting().c_str()); }

    void run() {
        ads_name ss;
        bool preselected =
            mOptions.anyRemoval() && acedSSGet(L"I", nullptr, nullptr, nullptr, ss) == RTNORM;
        if (!preselected && !askOptionsAndSelect(ss)) return finish(false);
        if (!preselected) acutPrintf(L"\n重複するｵﾌﾞｼﾞｪｸﾄを除去しています...");
        int selected = 0;
        Entities entities;
        std::vector<DupItem> items = recordsOf(ss, selected, entities);
        acedSSFree(ss);
        DrawingEditor editor(entities);
        StatusMonitor monitor;
        DupResult result = removeDuplicates(std::move(items), selected, mOptions, editor, monitor);
        report(result);
        finish(result.interrupted);
    }

private:
    bool askOptionsAndSelect(ads_name ss) {
        CDDupDlg dlg(mOptions.bits());
        intptr_t answer = dlg.DoModal();
        if (answer == -1) {
            acutPrintf(L"\n[Zelｴﾗｰ]重複除去ﾀﾞｲｱﾛｸﾞの生成に失敗.");
            return false;
        }
        if (answer != IDOK) return false;
        mOptions = DupOptions(dlg.bits());
        acutPrintf(L"\n重複除去するｵﾌﾞｼﾞｪｸﾄを選択:");
        return acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) == RTNORM;
    }

    void report(const DupResult& result) {
        if (result.result < 0) acutPrintf(L"%s", kDupNothingSelected);
        acedSetStatusBarProgressMeter(dupStatusText(result.result), 0, 0);
        if (result.result < 0) return;
        std::wstring listing = dupListing(result);
        if (mOptions.has(DupOptions::ShowResult)) {
            CDDResDlg dlg(listing);
            dlg.DoModal();
        } else {
            acutPrintf(L"\n%s", listing.c_str());
        }
    }

    void finish(bool interrupted) {
        acedCommandS(RTNONE);
        if (interrupted) {
            acedSetStatusBarProgressMeter(kDupInterrupted, 0, 0);
            acedCommandS(RTSTR, L"GRAPHSCR", RTNONE);
            return;
        }
        acedRestoreStatusBar();
    }

    DupOptions mOptions;
};

CDrag* CFuncDELDUP::s_instance = nullptr;

} // namespace

void deldupCommand() {
    std::vector<AcDbObjectId> locked;
    locked.reserve(8);
    UnlockAllLayers(locked);
    {
        CFuncDELDUP cmd;
        cmd.run();
    }
    LockLayers(locked);
}

} // namespace draftedit
