// LISP values to resbuf lists and back: round trips, the core printer's view of the same
// lists, entity data lists, and seeded random values.
#include "core/resbuf.h"
#include "lisp/printer.h"
#include "lisp/reader.h"
#include "lisp/resbuf_conv.h"
#include "lisp_test.h"

#include <random>

using namespace zel::lisp;
using namespace zel::lisp::test;
using zel::core::RbBuilder;
using zel::core::RbPtr;
using zel::core::rbToLisp;

namespace {

Value readOne(Interpreter& in, std::wstring_view text) {
    Reader reader(in.symbols(), text);
    std::optional<Value> v = reader.next();
    EXPECT_TRUE(v.has_value()) << narrow(text);
    return v ? *v : Value();
}

} // namespace

TEST(LispResbuf, ValuesRoundTripThroughResbufs) {
    Lisp lisp;
    const wchar_t* texts[] = {
        L"1",
        L"-70000",
        L"2.5",
        L"\"text \\\"q\\\" 図\"",
        L"nil",
        L"T",
        L"(1 2 3)",
        L"(1.0 2.0)",
        L"(1.0 2.0 3.0)",
        L"((1 2) (3 (4 (5))))",
        L"(8 . \"0\")",
        L"(1 2 . 3)",
        L"(nil nil)",
        L"(\"a\" (1.5 . 2.5) (T))",
        L"((0 . \"LINE\") (10 1.0 2.0 0.0))",
    };
    for (const wchar_t* text : texts) {
        Value v = readOne(lisp.in, text);
        for (PointForm form : {PointForm::Lists, PointForm::Compact}) {
            RbPtr rb = valueToResbuf(v, form);
            const resbuf* at = rb.get();
            Value back = resbufToValue(lisp.in, at);
            EXPECT_EQ(at, nullptr) << narrow(text);
            EXPECT_EQ(toText(back), toText(v)) << narrow(text);
        }
        // The core printer shows the chain (of one value) as the LISP printer shows a list
        // of that value.
        RbPtr rb = valueToResbuf(v, PointForm::Lists);
        EXPECT_EQ(rbToLisp(rb.get()), L"(" + toText(v) + L")") << narrow(text);
    }
}

TEST(LispResbuf, SymbolsAndSpecialValues) {
    Lisp lisp;
    Value sym = lisp.in.symbol(L"abc");
    RbPtr rb = valueToResbuf(sym, PointForm::Compact);
    ASSERT_TRUE(rb);
    EXPECT_EQ(rb->restype, RTSTR);
    EXPECT_STREQ(rb->resval.rstring, L"ABC");
    rb = valueToResbuf(Value::symbol(lisp.in.symbols().empty()), PointForm::Compact);
    EXPECT_EQ(rb->restype, RTVOID);
    EXPECT_THROW(valueToResbuf(lisp.in.symbols().intern(L"CAR")->value, PointForm::Compact),
                 LispError);
    // Integers keep 16 bits as RTSHORT and take RTLONG beyond.
    rb = valueToResbuf(Value::integer(-32768), PointForm::Compact);
    EXPECT_EQ(rb->restype, RTSHORT);
    rb = valueToResbuf(Value::integer(32768), PointForm::Compact);
    EXPECT_EQ(rb->restype, RTLONG);
}

TEST(LispResbuf, BothDottedPairFormsAreRead) {
    Lisp lisp;
    RbPtr closing =
        RbBuilder().addNone(RTLB).addShort(RTSHORT, 1).addShort(RTSHORT, 2).addNone(RTDOTE).take();
    EXPECT_EQ(toText(resbufListToValue(lisp.in, closing.get())), L"((1 . 2))");
    RbPtr unclosed = RbBuilder().addNone(RTLB).addShort(RTSHORT, 1).take();
    EXPECT_EQ(toText(resbufListToValue(lisp.in, unclosed.get())), L"((1))");
    RbPtr stray = RbBuilder().addNone(RTLE).addShort(RTSHORT, 1).addNone(RTDOTE).take();
    EXPECT_EQ(toText(resbufListToValue(lisp.in, stray.get())), L"(1)");
    RbPtr wide = RbBuilder().addInt64(RTINT64, int64_t{1} << 40).addInt64(RTINT64, -3).take();
    EXPECT_EQ(toText(resbufListToValue(lisp.in, wide.get())), L"(1.09951e+12 -3)");
}

TEST(LispResbuf, EntityDataListsBothWays) {
    Lisp lisp;
    ads_name ent = {0x7ff0, 1};
    RbPtr data = RbBuilder()
                     .addName(-1, ent)
                     .addString(0, L"LINE")
                     .addString(8, L"寸法")
                     .addPoint(10, 1, 2, 0)
                     .addReal(40, 2.5)
                     .addShort(62, 1)
                     .addLong(90, 100000)
                     .addNone(-3)
                     .addString(1001, L"APP")
                     .addString(1000, L"x")
                     .addShort(1070, 5)
                     .addString(1001, L"B")
                     .addReal(1040, 1.5)
                     .take();
    Value v = resbufListToValue(lisp.in, data.get());
    EXPECT_EQ(toText(v), L"((-1 . <Entity name: 7ff0>) (0 . \"LINE\") (8 . \"寸法\") "
                         L"(10 1.0 2.0 0.0) (40 . 2.5) (62 . 1) (90 . 100000) "
                         L"(-3 (\"APP\" (1000 . \"x\") (1070 . 5)) (\"B\" (1040 . 1.5))))");
    RbPtr back = entityListToResbuf(v);
    EXPECT_TRUE(zel::core::rbEqual(back.get(), data.get()));
}

TEST(LispResbuf, EntityListsWithWrongGroupsAreRejected) {
    Lisp lisp;
    const wchar_t* bad[] = {
        L"((10 . \"x\"))",
        L"((62 . 1.5))",
        L"((62 . 70000))",
        L"((0 . 5))",
        L"((-1 . \"x\"))",
        L"((10 1.0))",
        L"((10 1 2 3 4))",
        L"((99999 . 1))",
        L"(5)",
        L"((\"a\" . 1))",
        L"((310 . \"ABC\"))",
        L"((-3 (\"APP\" (8 . \"no\"))))",
        L"((-3 (1 (1000 . \"x\"))))",
    };
    for (const wchar_t* text : bad) {
        Value v = readOne(lisp.in, text);
        EXPECT_THROW(entityListToResbuf(v), LispError) << narrow(text);
    }
    Value ok = readOne(lisp.in, L"((10 1 2) (40 . 3) (310 . \"0AFF\"))");
    RbPtr rb = entityListToResbuf(ok);
    EXPECT_EQ(rbToLisp(rb.get()), L"((10 1.0 2.0 0.0) (40 . 3.0) (310 . \"0AFF\"))");
}

namespace {

// A random value of the kinds that have a resbuf form, nested up to `depth`.
Value randomValue(Interpreter& in, std::mt19937& rng, int depth) {
    int pick = static_cast<int>(rng() % (depth > 0 ? 8 : 5));
    switch (pick) {
    case 0:
        return Value::integer(static_cast<int32_t>(rng()));
    case 1:
        return Value::real(static_cast<double>(static_cast<int32_t>(rng())) / 64.0);
    case 2: {
        std::wstring s;
        for (int n = static_cast<int>(rng() % 6); n > 0; --n)
            s += static_cast<wchar_t>(L" \"\\\na図"[rng() % 6]);
        return Value::string(s);
    }
    case 3:
        return rng() % 2 ? in.t() : Value();
    case 4:
        return Value::real(static_cast<double>(rng() % 1000) / 8.0);
    default: {
        std::vector<Value> items;
        for (int n = static_cast<int>(rng() % 4); n > 0; --n)
            items.push_back(randomValue(in, rng, depth - 1));
        Value tail = (rng() % 5 == 0 && !items.empty()) ? Value::integer(9) : Value();
        return makeList(std::move(items), tail);
    }
    }
}

} // namespace

TEST(LispResbuf, RandomValuesRoundTripAndPrintAlike) {
    Lisp lisp;
    std::mt19937 rng(20240611);
    for (int i = 0; i < 2000; ++i) {
        Value v = randomValue(lisp.in, rng, 4);
        RbPtr rb = valueToResbuf(v, PointForm::Lists);
        const resbuf* at = rb.get();
        Value back = resbufToValue(lisp.in, at);
        ASSERT_TRUE(equalValues(back, v)) << narrow(toText(v));
        ASSERT_EQ(rbToLisp(rb.get()), L"(" + toText(v) + L")");
        // Compact points change the form, never the value.
        RbPtr compact = valueToResbuf(v, PointForm::Compact);
        at = compact.get();
        ASSERT_TRUE(equalValues(resbufToValue(lisp.in, at), v)) << narrow(toText(v));
    }
}
