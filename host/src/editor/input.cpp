#include "editor/input.h"

#include "core/text.h"
#include "editor/messages.h"
#include "editor/reply.h"

#include <cassert>
#include <cmath>

namespace zel::editor {

namespace {

bool takesPoints(InputKind k) {
    return k == InputKind::Point || k == InputKind::Corner || k == InputKind::Distance ||
           k == InputKind::Angle || k == InputKind::Orient;
}

// What one answer comes to.
struct Outcome {
    enum Kind {
        Accept,  // the request is answered
        Refuse,  // a message, then the prompt again
        Partial, // part of the answer (an object-snap override): keep reading
        Ignore,  // nothing to show (a click at a text prompt)
    } kind = Accept;
    InputResult result;
    Msg message = Msg::InvalidPoint;
    bool echoed = false; // the answer is already in the transcript (a second point was asked)
};

Outcome accept(int status) {
    Outcome o;
    o.result.status = status;
    return o;
}
Outcome acceptText(int status, std::wstring text) {
    Outcome o = accept(status);
    o.result.text = std::move(text);
    return o;
}
Outcome refuse(Msg m) {
    Outcome o;
    o.kind = Outcome::Refuse;
    o.message = m;
    return o;
}
Outcome kindOnly(Outcome::Kind k) {
    Outcome o;
    o.kind = k;
    return o;
}

// The editor's input base while a request runs; the outer request's comes back after it.
class InputBaseScope {
public:
    InputBaseScope(Editor& ed, std::optional<AcGePoint3d> base)
        : mEd(ed), mOuter(ed.setInputBase(base)) {}
    ~InputBaseScope() { mEd.setInputBase(mOuter); }
    InputBaseScope(const InputBaseScope&) = delete;
    InputBaseScope& operator=(const InputBaseScope&) = delete;

private:
    Editor& mEd;
    std::optional<AcGePoint3d> mOuter;
};

class Session {
public:
    Session(Editor& ed, const InputRequest& req) : mEd(ed), mReq(req), mInit(req.init) {}

    InputResult run() {
        if (mEd.inputGate()) mEd.inputGate()(mReq.kind);
        mCtx = mEd.parseContext(); // as it is when the prompt shows
        InputBaseScope base(mEd, mReq.base);
        mEd.notifyInput(beginNotice());
        mEd.transcript().prompt(mReq.prompt);
        for (;;) {
            mLastPoint.reset(); // a refused answer leaves LASTPOINT alone
            Reply r = readReply(mEd, mReq.spaces);
            mClicked = r.kind == Reply::Point && r.clicked;
            if (transparent(r)) continue;
            if (r.kind == Reply::Cancel || r.kind == Reply::End) {
                mEd.transcript().input(text(Msg::Cancel));
                return finish(accept(RTCAN).result);
            }
            if (r.kind == Reply::Stopped) return finish(accept(RTERROR).result);
            if (r.kind == Reply::Retry) {
                mEd.transcript().input(r.typed);
                mEd.transcript().prompt(mReq.prompt, true);
                continue;
            }
            Outcome o = interpret(r);
            switch (o.kind) {
            case Outcome::Accept:
                if (!o.echoed) mEd.transcript().input(echoOf(r));
                return finish(o.result);
            case Outcome::Partial:
                mEd.transcript().input(echoOf(r), false);
                break;
            case Outcome::Ignore:
                break;
            case Outcome::Refuse:
                if (!o.echoed) mEd.transcript().input(echoOf(r));
                mEd.transcript().message(L"\n" + std::wstring(text(o.message)));
                mEd.transcript().prompt(mReq.prompt, true);
                break;
            }
        }
    }

private:
    // "'ZOOM" typed at a prompt (not a text prompt): the command runs inside this request,
    // then the prompt shows again.
    bool transparent(const Reply& r) {
        if (r.kind != Reply::Text || mReq.kind == InputKind::String) return false;
        if (r.text.empty() || r.text.front() != L'\'' || !mEd.transparentHook()) return false;
        mEd.transcript().input(r.typed);
        Editor::TransparentHook hook = mEd.transparentHook(); // the command may replace it
        hook(r.text);
        mEd.transcript().prompt(mReq.prompt, true);
        return true;
    }

    std::wstring echoOf(const Reply& r) const {
        if (r.kind == Reply::Point && (r.clicked || r.typed.empty()))
            return pointText(r.point, mCtx.units);
        return r.typed;
    }

    InputNotice beginNotice() const {
        InputNotice n;
        n.kind = mReq.kind;
        n.drag = mReq.drag;
        n.begin = true;
        n.prompt = mReq.prompt;
        n.base = mReq.base;
        n.initBits = mInit.bits;
        n.keywords = keywordText(mInit.keywords);
        return n;
    }

    InputNotice endNotice(const InputResult& result) const {
        InputNotice n;
        n.kind = mReq.kind;
        n.status = result.status;
        n.point = result.point;
        n.drag = mReq.drag;
        n.clicked = mClicked;
        n.real = result.real;
        n.integer = result.integer;
        n.text = result.text;
        return n;
    }

    InputResult finish(InputResult result) {
        if (result.status == RTKWORD) mEd.setLastKeyword(result.text);
        if (result.status == RTNORM && mLastPoint) mEd.setLastPoint(*mLastPoint);
        mEd.osnapOverride().reset();
        mEd.notifyInput(endNotice(result));
        return result;
    }

    Outcome interpret(const Reply& r) {
        switch (mReq.kind) {
        case InputKind::Point:
        case InputKind::Corner:
            return pointAnswer(r);
        case InputKind::Distance:
            return distanceAnswer(r);
        case InputKind::Angle:
        case InputKind::Orient:
            return angleAnswer(r);
        case InputKind::String:
            return stringAnswer(r);
        case InputKind::Keyword:
            return keywordAnswer(r);
        case InputKind::Integer:
            return integerAnswer(r);
        case InputKind::Real:
            return realAnswer(r);
        }
        return refuse(Msg::InvalidPoint);
    }

    // ---- pieces every kind shares ------------------------------------------------------

    Msg requiredMessage() const {
        bool base = mReq.base.has_value();
        switch (mReq.kind) {
        case InputKind::Point:
        case InputKind::Corner:
            return mInit.keywords.empty() ? Msg::PointRequired : Msg::PointOrKeyword;
        case InputKind::Distance:
            return base ? Msg::DistanceOrPoint : Msg::DistanceOrTwoPoints;
        case InputKind::Angle:
        case InputKind::Orient:
            return base ? Msg::AngleOrPoint : Msg::AngleOrTwoPoints;
        case InputKind::Integer:
            return Msg::IntegerRequired;
        case InputKind::Real:
            return Msg::RealRequired;
        case InputKind::String:
        case InputKind::Keyword:
            return Msg::InvalidKeyword;
        }
        return Msg::InvalidKeyword;
    }

    // Enter, a keyword, an object-snap override; nullopt when the text is none of these.
    std::optional<Outcome> common(const std::wstring& t, int keywordStatus = RTKWORD) {
        if (core::trim(t).empty())
            return mInit.has(kNoNull) ? refuse(requiredMessage()) : accept(RTNONE);
        KeywordMatch m = matchKeyword(mInit.keywords, t);
        if (m.kind == KeywordMatch::Ambiguous) return refuse(Msg::Ambiguous);
        if (m.kind == KeywordMatch::One) return acceptText(keywordStatus, m.keyword->global);
        if (takesPoints(mReq.kind)) {
            if (std::optional<int> modes = osnapOverrideOf(t)) {
                mEd.osnapOverride() = *modes;
                return kindOnly(Outcome::Partial);
            }
        }
        return std::nullopt;
    }

    // Arbitrary input (bit 128) or the kind's message.
    Outcome otherwise(const std::wstring& t, Msg m, int arbitraryStatus = RTKWORD) {
        if (mInit.has(kArbitrary)) return acceptText(arbitraryStatus, core::trim(t));
        return refuse(m);
    }

    std::optional<Msg> numberCheck(double v) const {
        bool zero = mInit.has(kNoZero), neg = mInit.has(kNoNegative);
        if (zero && neg && v <= 0) return Msg::PositiveNonZero;
        if (zero && v == 0) return Msg::NonZero;
        if (neg && v < 0) return Msg::Positive;
        return std::nullopt;
    }

    bool outsideLimits(const AcGePoint3d& p) const {
        if (mInit.has(kNoLimits) || mEd.vars().integer(L"LIMCHECK") == 0) return false;
        AcGePoint3d lo = mEd.vars().point(L"LIMMIN"), hi = mEd.vars().point(L"LIMMAX");
        return p.x < lo.x || p.y < lo.y || p.x > hi.x || p.y > hi.y;
    }

    // The point of an answer (a click, a LISP point, typed coordinates), if it is one.
    std::optional<AcGePoint3d> pointOf(const Reply& r) const {
        if (r.kind == Reply::Point) return r.point;
        return parsePoint(r.text, mCtx);
    }

    // ---- points ---------------------------------------------------------------------------

    Outcome pointAnswer(const Reply& r) {
        if (r.kind == Reply::Text) {
            if (std::optional<Outcome> o = common(r.text)) return *o;
        }
        std::optional<AcGePoint3d> p = pointOf(r);
        if (!p)
            return otherwise(r.text,
                             mInit.keywords.empty() ? Msg::InvalidPoint : Msg::PointOrKeyword);
        if (outsideLimits(*p)) return refuse(Msg::OutsideLimits);
        mLastPoint = *p;
        Outcome o = accept(RTNORM);
        o.result.point = *p;
        return o;
    }

    // The second point of a distance or angle given without a base point: asked for after
    // echoing the first. nullopt when the user cancelled.
    std::optional<AcGePoint3d> secondPoint(const Reply& first, const AcGePoint3d& p1) {
        mEd.transcript().input(echoOf(first));
        mEd.setLastPoint(p1);
        InputRequest second;
        second.kind = InputKind::Point;
        second.prompt = L"\n" + std::wstring(text(Msg::SecondPoint));
        second.base = p1;
        second.init.bits = kNoNull | (mInit.bits & (kNoLimits | kDashed));
        InputResult res = requestInput(mEd, second);
        if (res.status != RTNORM) return std::nullopt;
        mLastPoint = res.point;
        return res.point;
    }

    // Two points of a distance or angle: the base (or a first point) and the answer's point.
    // nullopt when the user cancelled the second point.
    std::optional<std::pair<AcGePoint3d, AcGePoint3d>>
    twoPoints(const Reply& r, const AcGePoint3d& p, bool& echoed) {
        if (mReq.base) {
            mLastPoint = p;
            return std::pair(*mReq.base, p);
        }
        echoed = true;
        std::optional<AcGePoint3d> q = secondPoint(r, p);
        if (!q) return std::nullopt;
        return std::pair(p, *q);
    }

    Outcome answered(Outcome o, bool echoed) {
        o.echoed = echoed;
        return o;
    }

    Outcome distanceAnswer(const Reply& r) {
        if (r.kind == Reply::Text) {
            if (std::optional<Outcome> o = common(r.text)) return *o;
            if (std::optional<double> d = parseDistanceText(r.text, mCtx)) {
                if (std::optional<Msg> m = numberCheck(*d)) return refuse(*m);
                Outcome o = accept(RTNORM);
                o.result.real = *d;
                return o;
            }
        }
        std::optional<AcGePoint3d> p = pointOf(r);
        if (!p) return otherwise(r.text, requiredMessage());
        bool echoed = false;
        auto pts = twoPoints(r, *p, echoed);
        if (!pts) return cancelled();
        AcGeVector3d v = pts->second - pts->first;
        double d = mInit.has(kIgnoreZ) ? std::hypot(v.x, v.y) : v.length();
        if (std::optional<Msg> m = numberCheck(d)) return answered(refuse(*m), echoed);
        Outcome o = accept(RTNORM);
        o.result.real = d;
        return answered(o, echoed);
    }

    // The second point was cancelled (its prompt already showed it).
    Outcome cancelled() { return answered(accept(RTCAN), true); }

    // ---- angles ---------------------------------------------------------------------------

    // getorient answers the direction itself; getangle the direction counted from ANGBASE.
    double angleResult(double direction) const {
        if (mReq.kind == InputKind::Orient) return normalizeAngle(direction);
        return normalizeAngle(direction - mCtx.angbase);
    }

    Outcome angleOutcome(double direction, bool echoed) {
        double a = angleResult(direction);
        if (mInit.has(kNoZero) && a == 0) return answered(refuse(Msg::NonZero), echoed);
        Outcome o = accept(RTNORM);
        o.result.real = a;
        return answered(o, echoed);
    }

    Outcome angleAnswer(const Reply& r) {
        if (r.kind == Reply::Text) {
            if (std::optional<Outcome> o = common(r.text)) return *o;
            if (std::optional<double> a = parseAngleText(r.text, mCtx))
                return angleOutcome(directionOfTypedAngle(*a, mCtx), false);
        }
        std::optional<AcGePoint3d> p = pointOf(r);
        if (!p) return otherwise(r.text, requiredMessage());
        bool echoed = false;
        auto pts = twoPoints(r, *p, echoed);
        if (!pts) return cancelled();
        AcGeVector3d v = pts->second - pts->first;
        return angleOutcome(std::atan2(v.y, v.x), echoed);
    }

    // ---- text and numbers -----------------------------------------------------------------

    Outcome stringAnswer(const Reply& r) {
        if (r.kind == Reply::Point) return kindOnly(Outcome::Ignore);
        std::wstring t = r.text;
        size_t blank = mReq.spaces ? std::wstring::npos : t.find(L' ');
        if (blank != std::wstring::npos) {
            // a blank ends the text: the rest is the next answer
            mEd.queue().pushFront(Event::typed(t.substr(blank + 1)));
            t.erase(blank);
        }
        return acceptText(RTNORM, t);
    }

    Outcome keywordAnswer(const Reply& r) {
        if (r.kind == Reply::Point) return refuse(Msg::InvalidKeyword);
        if (std::optional<Outcome> o = common(r.text, RTNORM)) return *o;
        return otherwise(r.text, Msg::InvalidKeyword, RTNORM);
    }

    Outcome integerAnswer(const Reply& r) {
        if (r.kind == Reply::Point) return refuse(Msg::IntegerRequired);
        if (std::optional<Outcome> o = common(r.text)) return *o;
        std::optional<int64_t> n = core::parseInt64(r.text);
        if (!n) return otherwise(r.text, Msg::IntegerRequired);
        if (*n < -32768 || *n > 32767) return refuse(Msg::IntegerRange);
        if (std::optional<Msg> m = numberCheck(double(*n))) return refuse(*m);
        Outcome o = accept(RTNORM);
        o.result.integer = int(*n);
        return o;
    }

    Outcome realAnswer(const Reply& r) {
        if (r.kind == Reply::Point) return refuse(Msg::RealRequired);
        if (std::optional<Outcome> o = common(r.text)) return *o;
        std::optional<double> x = core::parseDouble(r.text);
        if (!x) return otherwise(r.text, Msg::RealRequired);
        if (std::optional<Msg> m = numberCheck(*x)) return refuse(*m);
        Outcome o = accept(RTNORM);
        o.result.real = *x;
        return o;
    }

    Editor& mEd;
    const InputRequest& mReq;
    const InitGet& mInit;
    ParseContext mCtx;
    std::optional<AcGePoint3d> mLastPoint; // the last point the user gave
    bool mClicked = false;                 // the last answer was a click
};

} // namespace

InputResult requestInput(Editor& editor, const InputRequest& request) {
    return Session(editor, request).run();
}

std::optional<int> osnapOverrideOf(std::wstring_view text) {
    static const std::pair<const wchar_t*, int> modes[] = {
        {L"NONE", 0},          {L"ENDPOINT", 1},   {L"MIDPOINT", 2},
        {L"CENTER", 4},        {L"NODE", 8},       {L"QUADRANT", 16},
        {L"INTERSECTION", 32}, {L"INSERTION", 64}, {L"PERPENDICULAR", 128},
        {L"TANGENT", 256},     {L"NEAREST", 512},  {L"QUICK", 1024},
        {L"APPARENT", 2048},   {L"APPINT", 2048},  {L"EXTENSION", 4096},
        {L"PARALLEL", 8192},
    };
    std::wstring t = core::toUpper(core::trim(text));
    if (!t.empty() && t[0] == L'_') t.erase(0, 1);
    if (t.size() < 3) return std::nullopt;
    for (const auto& [name, bits] : modes) {
        std::wstring_view n(name);
        if (n.starts_with(t)) return bits;
    }
    return std::nullopt;
}

std::wstring pointText(const AcGePoint3d& p, const core::UnitSettings& u) {
    auto coord = [&](double v) {
        std::optional<std::wstring> s =
            core::formatDistance(v, u.lunits, u.luprec, u.dimzin, u.unitmode);
        return s ? *s : core::toWString(v);
    };
    std::wstring s = coord(p.x) + L"," + coord(p.y);
    if (p.z != 0) s += L"," + coord(p.z);
    return s;
}

} // namespace zel::editor
