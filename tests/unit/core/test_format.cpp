// The formatter against C's swprintf, and the acut*Printf functions.
#include "arx/ads.h"
#include "core/format.h"
#include "core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <limits>

using zel::core::format;
using zel::core::wideToUtf8;

namespace {

// Our result must equal swprintf's for the same format and arguments.
template <typename... A> void expectLikeC(const wchar_t* fmt, A... args) {
    wchar_t ref[2048];
    int n = std::swprintf(ref, 2048, fmt, args...);
    ASSERT_GE(n, 0) << wideToUtf8(fmt);
    EXPECT_EQ(wideToUtf8(format(fmt, args...)), wideToUtf8(ref)) << "format " << wideToUtf8(fmt);
}

// Our wide-string directive against C's %ls spelling of it.
template <typename... A> void expectLikeCWith(const wchar_t* ours, const wchar_t* c, A... args) {
    wchar_t ref[512];
    ASSERT_GE(std::swprintf(ref, 512, c, args...), 0);
    EXPECT_EQ(wideToUtf8(format(ours, args...)), wideToUtf8(ref)) << wideToUtf8(ours);
}

} // namespace

TEST(Format, IntTableMatchesSwprintf) {
    const wchar_t* formats[] = {L"%d",    L"%5d",   L"[%-5d]",    L"%05d",   L"%+d",    L"% d",
                                L"%.3d",  L"%8.3d", L"[%-+8.3d]", L"%08.3d", L"%.0d",   L"%+.0d",
                                L"%i",    L"%u",    L"%x",        L"%#x",    L"%X",     L"%#X",
                                L"%#o",   L"%o",    L"%#.0o",     L"%#8x",   L"%#08x",  L"%-#8o|",
                                L"%02d",  L"%03d",  L"%hd",       L"%hhd",   L"%hu",    L"%hhx",
                                L"%+05i", L"% 05d", L"%-05d|",    L"%+ d",   L"%10.5x", L"%.10u"};
    const int values[] = {0, 1, -1, 7, 42, -42, 255, 70000, 123456, INT_MAX, INT_MIN};
    for (const wchar_t* f : formats) {
        for (int v : values)
            expectLikeC(f, v);
    }
}

TEST(Format, LongTableMatchesSwprintf) {
    const wchar_t* longFormats[] = {L"%ld", L"%lx",     L"%08lx", L"%#lX",
                                    L"%lu", L"%-20ld|", L"%+ld",  L"%lo"};
    const long longValues[] = {0, -1, 0x7fffffffL, LONG_MAX, LONG_MIN, 0x123456789abL};
    for (const wchar_t* f : longFormats) {
        for (long v : longValues)
            expectLikeC(f, v);
    }
    const wchar_t* llFormats[] = {L"%lld", L"%llu", L"%llx", L"%20lld", L"%.25lld"};
    const long long llValues[] = {0, LLONG_MAX, LLONG_MIN, -1234567890123LL};
    for (const wchar_t* f : llFormats) {
        for (long long v : llValues)
            expectLikeC(f, v);
    }
    const size_t sizes[] = {0, 1, SIZE_MAX};
    for (size_t v : sizes) {
        expectLikeC(L"%zu", v);
        expectLikeC(L"%zx", v);
        expectLikeC(L"%jd", static_cast<intmax_t>(v));
        expectLikeC(L"%td", static_cast<ptrdiff_t>(v));
    }
}

TEST(Format, DoubleTableMatchesSwprintf) {
    const wchar_t* formats[] = {
        L"%f",    L"%.3f",   L"%15.6f",   L"%e",    L"%16.15e", L"%g",        L"%G",      L"%#g",
        L"%.0f",  L"%#.0f",  L"%.0e",     L"%#.0e", L"%+.2e",   L"[%-12.4g]", L"%012.3f", L"% f",
        L"%.10g", L"%E",     L"%F",       L"%.1f",  L"%+f",     L"%-+9.2f|",  L"%.0g",    L"%#.3g",
        L"%.17g", L"%10.4e", L"%010e",    L"%.20f", L"%#.10G",  L"%a",        L"%A",      L"%.3a",
        L"%#a",   L"%012a",  L"%-12.2a|", L"%+a",
    };
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             1.5,
                             2.5,
                             -2.5,
                             1.0 / 3,
                             2.0 / 3,
                             0.1,
                             123456.789,
                             -987654321.125,
                             1e-5,
                             0.000123456,
                             99999.95,
                             9.9999999,
                             1e15,
                             1.5e16,
                             1e300,
                             -1e-300,
                             5e-324,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN()};
    for (const wchar_t* f : formats) {
        for (double v : values) {
            if (std::isnan(v) && std::wcschr(f, L'a')) continue; // glibc's %a of NaN is fine too
            expectLikeC(f, v);
        }
    }
}

TEST(Format, LongDoubleMatchesSwprintf) {
    const long double values[] = {0.0L, 1.25L, -3.5e-10L, 1e100L};
    for (long double v : values) {
        expectLikeC(L"%Lf", v);
        expectLikeC(L"%.12Le", v);
        expectLikeC(L"%Lg", v);
        expectLikeC(L"%La", v);
    }
}

TEST(Format, StarWidthAndPrecision) {
    expectLikeC(L"[%*d]", 6, 42);
    expectLikeC(L"[%*d]", -6, 42);
    expectLikeC(L"[%.*f]", 2, 3.14159);
    expectLikeC(L"[%.*f]", -1, 3.14159);
    expectLikeC(L"[%*.*e]", 14, 3, -0.000271828);
    expectLikeC(L"[%-*.*g]", 12, 4, 12345.678);
}

TEST(Format, StringsAreWideAndNarrowWithH) {
    const wchar_t* s = L"abcdef";
    expectLikeCWith(L"[%s]", L"[%ls]", s);
    expectLikeCWith(L"[%10s]", L"[%10ls]", s);
    expectLikeCWith(L"[%-10s]", L"[%-10ls]", s);
    expectLikeCWith(L"[%.2s]", L"[%.2ls]", s);
    expectLikeCWith(L"[%8.3s]", L"[%8.3ls]", s);
    expectLikeCWith(L"[%05s]", L"[%05ls]", s);
    expectLikeCWith(L"[%ls]", L"[%ls]", s);
    const wchar_t* nul = nullptr;
    expectLikeCWith(L"[%s]", L"[%ls]", nul);
    expectLikeCWith(L"[%10s]", L"[%10ls]", nul);
    expectLikeCWith(L"[%.3s]", L"[%.3ls]", nul);
    expectLikeCWith(L"[%hs|%5hs]", L"[%s|%5s]", "narrow", "ab");
    EXPECT_EQ(format(L"%s", L"\u65e5\u672c\u8a9e"), L"\u65e5\u672c\u8a9e");
    EXPECT_EQ(format(L"%.2s|", L"\u65e5\u672c\u8a9e"), L"\u65e5\u672c|");
    EXPECT_EQ(format(L"%hs", "\xe6\x97\xa5\xff"), L"\u65e5\ufffd"); // UTF-8, bad byte replaced
    EXPECT_EQ(format(L"%S", "abc"), L"abc");
    EXPECT_EQ(format(L"[%4hs]", nullptr), L"[(null)]");
}

TEST(Format, CharactersPointersAndPercent) {
    expectLikeCWith(L"[%c]", L"[%lc]", static_cast<wint_t>(L'x'));
    expectLikeCWith(L"[%3c]", L"[%3lc]", static_cast<wint_t>(L'x'));
    expectLikeCWith(L"[%-3c]", L"[%-3lc]", static_cast<wint_t>(0x65e5));
    EXPECT_EQ(format(L"%c%lc", L'\u00e9', L'\u65e5'), L"\u00e9\u65e5");
    EXPECT_EQ(format(L"%hc%hc", 'A', 0xE9), L"A\ufffd");
    int x = 0;
    const void* pointers[] = {nullptr, &x, reinterpret_cast<void*>(0x1234)};
    for (const void* p : pointers) {
        expectLikeC(L"[%p]", p);
        expectLikeC(L"[%20p]", p);
        expectLikeC(L"[%-20p]", p);
        expectLikeC(L"[%+p]", p);
        expectLikeC(L"[%020p]", p);
    }
    expectLikeC(L"100%% [%5%] done", 0);
}

TEST(Format, MalformedDirectivesAreCopied) {
    EXPECT_EQ(format(L"50%"), L"50%");
    EXPECT_EQ(format(L"%y and %d", 3), L"%y and 3");
    EXPECT_EQ(format(L"%-"), L"%-");
    EXPECT_EQ(format(L"a%n b", static_cast<int*>(nullptr)), L"a b");
    EXPECT_EQ(format(L"%I64d %I32d %Iu", 1LL << 40, 7, size_t{9}), L"1099511627776 7 9");
    EXPECT_EQ(format(nullptr), L"");
}

TEST(Format, MixedArgumentsStayInStep) {
    EXPECT_EQ(format(L"%s=%d (%.2f) %c %hs %lld %x", L"n", -3, 2.345, L'Z', "u", 1LL << 40, 255u),
              L"n=-3 (2.35) Z u 1099511627776 ff");
}

TEST(PrintfApi, PrintfWritesToTheSink) {
    std::wstring captured;
    auto previous = zel::core::setOutputSink([&](std::wstring_view t) { captured += t; });
    EXPECT_EQ(acutPrintf(L"\n%s: %d", L"\u30ec\u30a4\u30e4", 3), 7);
    EXPECT_EQ(acutPrintf(L"%%"), 1);
    EXPECT_EQ(acutPrintf(nullptr), -1);
    zel::core::setOutputSink(std::move(previous));
    EXPECT_EQ(captured, L"\n\u30ec\u30a4\u30e4: 3%");
}

TEST(PrintfApi, SPrintfWritesAllAndTerminates) {
    ACHAR buf[32];
    std::wmemset(buf, L'#', 32);
    EXPECT_EQ(acutSPrintf(buf, L"%03d-%s", 7, L"ab"), 6);
    EXPECT_STREQ(buf, L"007-ab");
    EXPECT_EQ(buf[7], L'#');
    EXPECT_EQ(acutSPrintf(nullptr, L"x"), -1);
}

TEST(PrintfApi, SNPrintfTruncatesSafely) {
    struct Case {
        size_t count;
        std::wstring text; // what the buffer holds
    } cases[] = {{1, L""}, {2, L"a"}, {5, L"abcd"}, {9, L"abcdefgh"}, {20, L"abcdefgh"}};
    for (const Case& c : cases) {
        ACHAR buf[32];
        std::wmemset(buf, L'#', 32);
        EXPECT_EQ(acutSNPrintf(buf, c.count, L"%s", L"abcdefgh"), 8);
        EXPECT_EQ(std::wstring(buf), c.text);
        for (size_t i = c.count; i < 32; ++i)
            ASSERT_EQ(buf[i], L'#') << "wrote past " << c.count;
    }
    ACHAR untouched[2] = {L'#', L'#'};
    EXPECT_EQ(acutSNPrintf(untouched, 0, L"%d", 12345), 5);
    EXPECT_EQ(untouched[0], L'#');
    EXPECT_EQ(acutSNPrintf(nullptr, 0, L"%d", 12345), 5);

    // A surrogate pair (text decoded from escapes that stayed unjoined) is never cut in half.
    std::wstring pair = {L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    ACHAR buf[4];
    acutSNPrintf(buf, 3, L"%s", pair.c_str());
    EXPECT_EQ(std::wstring(buf), L"a");
}
