// The C-style API the modules compile against: text types, result codes, result buffers,
// entity names and the utility functions of the host.
#pragma once

#include <cstdint>
#include <cwchar>

typedef wchar_t ACHAR;
#ifndef _T
#define _T(x) L##x
#endif

typedef double ads_real;
typedef ads_real ads_point[3];
typedef int64_t ads_name[2];
typedef ads_real ads_matrix[4][4];
typedef ads_real* ads_pointp;
typedef int64_t* ads_namep;

// Result codes of every API call.
enum {
    RTNORM = 5100,
    RTERROR = -5001,
    RTCAN = -5002,
    RTREJ = -5003,
    RTFAIL = -5004,
    RTKWORD = -5005,
    RTINPUTTRUNCATED = -5008,
};

// Value types of result buffers.
enum {
    RTNONE = 5000,
    RTREAL = 5001,
    RTPOINT = 5002,
    RTSHORT = 5003,
    RTANG = 5004,
    RTSTR = 5005,
    RTENAME = 5006,
    RTPICKS = 5007,
    RTORINT = 5008,
    RT3DPOINT = 5009,
    RTLONG = 5010,
    RTVOID = 5014,
    RTLB = 5016,
    RTLE = 5017,
    RTDOTE = 5018,
    RTNIL = 5019,
    RTDXF0 = 5020,
    RTT = 5021,
    RTRESBUF = 5023,
    RTMODELESS = 5027,
    RTLONG_PTR = 5030,
    RTINT64 = 5031,
};

// Input-related types returned by acedGrRead and friends.
enum { RTZOOM = 5023 + 100, RTPAN = 5023 + 101 };

// Results of LISP function handlers.
enum { RSRSLT = 1, RSERR = 3 };

struct ads_binary {
    short clen;
    char* buf;
};

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    ACHAR* rstring;
    ads_name rlname;
    int32_t rlong;
    int64_t mnInt64;
    int64_t mnLongPtr;
    struct ads_binary rbinary;
    unsigned char ihandle[8];
};

struct resbuf {
    struct resbuf* rbnext;
    short restype;
    union ads_u_val resval;
};

// Name helpers (macros of the original API, as inline functions).
inline void ads_name_set(const ads_name from, ads_name to) {
    to[0] = from[0];
    to[1] = from[1];
}
inline void ads_name_clear(ads_name n) { n[0] = n[1] = 0; }
inline bool ads_name_nil(const ads_name n) { return n[0] == 0 && n[1] == 0; }
inline bool ads_name_equal(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}
inline void ads_point_set(const ads_point from, ads_point to) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}
#define X 0
#define Y 1
#define Z 2

// Result-buffer lists.
struct resbuf* acutBuildList(int rtype, ...);
struct resbuf* acutNewRb(int v);
int acutRelRb(struct resbuf* rb);

// Memory blocks of the C-style API, from one allocator shared by the host and the modules: a
// block from acad_malloc goes back with acad_free (null is ignored). Null when no memory is
// left; a size of 0 gives a block of its own.
void* acad_malloc(size_t size);
void acad_free(void* p);

// Text output and formatting (printf-style; "%s" takes a wide string).
int acutPrintf(const ACHAR* format, ...);
int acutSPrintf(ACHAR* buffer, const ACHAR* format, ...);
int acutSNPrintf(ACHAR* buffer, size_t count, const ACHAR* format, ...);

// Points and angles.
ads_real acutAngle(const ads_point pt1, const ads_point pt2);
ads_real acutDistance(const ads_point pt1, const ads_point pt2);
void acutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result);

// Number to text with the unit modes of the drawing (-1 takes the system variable).
int acdbRToS(ads_real val, int unit, int prec, ACHAR* str, size_t len);
int acdbAngToS(ads_real val, int unit, int prec, ACHAR* str, size_t len);
int acdbDisToF(const ACHAR* str, int unit, ads_real* v);
int acdbAngToF(const ACHAR* str, int unit, ads_real* v);

// Fixed buffers of the caller: the size is taken from the array.
template <size_t N> int acdbRToS(ads_real val, int unit, int prec, ACHAR (&str)[N]) {
    return acdbRToS(val, unit, prec, str, N);
}
template <size_t N> int acdbAngToS(ads_real val, int unit, int prec, ACHAR (&str)[N]) {
    return acdbAngToS(val, unit, prec, str, N);
}
