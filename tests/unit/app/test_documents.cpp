// The document manager (new, close, activation, locks, the current document), per-document
// records, the document reactors, and posting text to a document's command line.
#include "app_fixture.h"

#include "arx/acdocman.h"
#include "arx/aced.h"

#include <string>
#include <vector>

namespace {

std::string title(AcApDocument* d) {
    return d ? zel::core::wideToUtf8(d->docTitle()) : "-";
}

struct DocLog : AcApDocManagerReactor {
    std::vector<std::string> log;
    void documentCreated(AcApDocument* d) override { log.push_back("created " + title(d)); }
    void documentToBeDestroyed(AcApDocument* d) override {
        log.push_back("toBeDestroyed " + title(d));
    }
    void documentDestroyed(const ACHAR* name) override {
        log.push_back("destroyed " + zel::core::wideToUtf8(name));
    }
    void documentToBeActivated(AcApDocument* d) override {
        log.push_back("toBeActivated " + title(d));
    }
    void documentToBeDeactivated(AcApDocument* d) override {
        log.push_back("toBeDeactivated " + title(d));
    }
    void documentBecameCurrent(AcApDocument* d) override {
        log.push_back("becameCurrent " + title(d));
    }
    void documentActivated(AcApDocument* d) override { log.push_back("activated " + title(d)); }
    void documentActivationModified(bool on) override {
        log.push_back(on ? "activation on" : "activation off");
    }
    void documentLockModeChanged(AcApDocument*, AcAp::DocLockMode before, AcAp::DocLockMode now,
                                 AcAp::DocLockMode, const ACHAR*) override {
        log.push_back("lock " + std::to_string(before) + ">" + std::to_string(now));
    }
};

class Documents : public AppTest {
protected:
    Documents() { acDocManager->addReactor(&rec); }
    ~Documents() override { acDocManager->removeReactor(&rec); }
    void multiple() { run("SDI 0\n"); }
    DocLog rec;
};

TEST_F(Documents, NewOpensAnotherDocumentAndCloseGoesBack) {
    multiple();
    AcApDocument* first = curDoc();
    run("NEW\n");
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_EQ(acDocManager->mdiActiveDocument(), acDocManager->curDocument());
    EXPECT_NE(curDoc(), first);
    std::vector<std::string> opened = {"created Drawing2.dwg", "toBeActivated Drawing2.dwg",
                                       "toBeDeactivated Drawing1.dwg", "becameCurrent Drawing2.dwg",
                                       "activated Drawing2.dwg"};
    EXPECT_EQ(rec.log, opened);
    EXPECT_EQ(ed().database(), curDoc()->database()) << "the editor works on the active drawing";
    rec.log.clear();
    run("CLOSE\n");
    EXPECT_EQ(acDocManager->documentCount(), 1);
    EXPECT_EQ(curDoc(), first);
    ASSERT_FALSE(rec.log.empty());
    EXPECT_EQ(rec.log.front(), "toBeDestroyed Drawing2.dwg");
    EXPECT_EQ(rec.log.back(), "destroyed Drawing2.dwg");
    run("CLOSE\n");
    EXPECT_EQ(acDocManager->documentCount(), 1) << "the program always has a drawing";
    EXPECT_EQ(title(curDoc()), "Drawing3.dwg");
}

TEST_F(Documents, SingleDocumentModeReplacesTheDrawing) {
    AcApDocument* first = curDoc();
    run("LINE 0,0 1,1 \"\"\nNEW\n");
    EXPECT_EQ(acDocManager->documentCount(), 1);
    EXPECT_NE(curDoc(), first);
    EXPECT_EQ(rec.log.back(), "destroyed Drawing1.dwg");
}

TEST_F(Documents, DataManagerKeepsOneRecordPerDocumentUntilItCloses) {
    multiple();
    AcApDataManager<int> data;
    data.docData() = 7;
    run("NEW\n");
    EXPECT_EQ(data.docData(), 0) << "a new document starts with an empty record";
    data.docData() = 9;
    EXPECT_EQ(data.size(), 2u);
    run("CLOSE\n");
    EXPECT_EQ(data.size(), 1u) << "the closed document's record is erased";
    EXPECT_EQ(data.docData(), 7);
}

TEST_F(Documents, LocksNestAndAnExclusiveLockExcludesOthers) {
    AcApDocument* d = curDoc();
    EXPECT_EQ(d->lockMode(), AcAp::kNotLocked);
    EXPECT_EQ(acDocManager->lockDocument(d, AcAp::kRead), Acad::eOk);
    EXPECT_EQ(acDocManager->lockDocument(d, AcAp::kWrite), Acad::eOk);
    EXPECT_EQ(d->lockMode(), AcAp::kWrite);
    EXPECT_EQ(acDocManager->lockDocument(d, AcAp::kXWrite), Acad::eLockViolation);
    EXPECT_EQ(acDocManager->unlockDocument(d), Acad::eOk);
    EXPECT_EQ(d->lockMode(), AcAp::kRead);
    EXPECT_EQ(acDocManager->unlockDocument(d), Acad::eOk);
    EXPECT_EQ(acDocManager->unlockDocument(d), Acad::eNotApplicable) << "one unlock too many";
    EXPECT_EQ(acDocManager->lockDocument(d, AcAp::kXWrite), Acad::eOk);
    EXPECT_EQ(acDocManager->lockDocument(d, AcAp::kRead), Acad::eLockViolation);
    EXPECT_EQ(acDocManager->unlockDocument(d), Acad::eOk);
    EXPECT_EQ(acDocManager->lockDocument(d, AcAp::kNone), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->lockDocument(nullptr, AcAp::kRead), Acad::eInvalidInput);
    std::vector<std::string> changes = {"lock 2>32", "lock 32>4", "lock 4>32",
                                        "lock 32>2", "lock 2>64", "lock 64>2"};
    EXPECT_EQ(rec.log, changes);
}

TEST_F(Documents, DisabledActivationKeepsTheActiveDocument) {
    multiple();
    AcApDocument* first = curDoc();
    run("NEW\n");
    AcApDocument* second = curDoc();
    rec.log.clear();
    EXPECT_EQ(acDocManager->disableDocumentActivation(), Acad::eOk);
    EXPECT_FALSE(acDocManager->isDocumentActivationEnabled());
    EXPECT_EQ(acDocManager->activateDocument(first), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->appContextNewDocument(nullptr), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->mdiActiveDocument(), second);
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_EQ(acDocManager->enableDocumentActivation(), Acad::eOk);
    EXPECT_EQ(acDocManager->activateDocument(first), Acad::eOk);
    EXPECT_EQ(acDocManager->mdiActiveDocument(), first);
    EXPECT_EQ(ed().database(), first->database());
    ASSERT_GE(rec.log.size(), 2u);
    EXPECT_EQ(rec.log[0], "activation off");
    EXPECT_EQ(rec.log[1], "activation on");
}

TEST_F(Documents, CurrentDocumentIsWhereApiCallsWork) {
    multiple();
    run("(setq a 1)\n");
    AcApDocument* first = curDoc();
    run("NEW\n");
    EXPECT_EQ(eval("a"), "nil") << "each document has its own symbols";
    ASSERT_EQ(acDocManager->setCurDocument(first), Acad::eOk);
    EXPECT_NE(acDocManager->curDocument(), acDocManager->mdiActiveDocument());
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
    resbuf* v = nullptr;
    ASSERT_EQ(acedGetSym(L"A", &v), RTNORM);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->restype, RTSHORT);
    EXPECT_EQ(v->resval.rint, 1);
    acutRelRb(v);
    EXPECT_EQ(acDocManager->setCurDocument(nullptr), Acad::eInvalidInput);
}

TEST_F(Documents, TextSentToADocumentIsReadAsTyping) {
    multiple();
    AcApDocument* first = curDoc();
    run("NEW\n");
    ASSERT_EQ(acDocManager->sendStringToExecute(first, L"(setq b 7)\n"), Acad::eOk);
    EXPECT_EQ(acDocManager->mdiActiveDocument(), first) << "sending activates by default";
    s.engine().run();
    EXPECT_EQ(eval("b"), "7");
    EXPECT_EQ(acedPostCommandText(L"(setq c 8)\n"), RTNORM);
    s.engine().run();
    EXPECT_EQ(eval("c"), "8");
    EXPECT_EQ(acDocManager->sendStringToExecute(nullptr, L"x"), Acad::eInvalidInput);
}

TEST_F(Documents, IteratorVisitsEveryOpenDocument) {
    multiple();
    run("NEW\nNEW\n");
    std::unique_ptr<AcApDocumentIterator> it(acDocManager->newAcApDocumentIterator());
    std::vector<std::string> titles;
    for (; !it->done(); it->step())
        titles.push_back(title(it->document()));
    EXPECT_EQ(titles, (std::vector<std::string>{"Drawing1.dwg", "Drawing2.dwg", "Drawing3.dwg"}));
    EXPECT_EQ(acDocManager->document(curDoc()->database()), curDoc());
}

TEST_F(Documents, ResourceHandlesNest) {
    acDocManager->pushAcadResourceHandle();
    acDocManager->pushResourceHandle(this);
    EXPECT_EQ(docs().resourceDepth(), 2u);
    acDocManager->popResourceHandle();
    acDocManager->popResourceHandle();
    acDocManager->popResourceHandle(); // one too many does no harm
    EXPECT_EQ(docs().resourceDepth(), 0u);
}

} // namespace
