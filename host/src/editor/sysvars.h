// System variables: a typed table of names with their defaults, whether the user may change
// them and where they live — in the drawing's header (read and written through the database,
// so that changes are saved and undone with it) or in the session. acedGetVar/acedSetVar work
// on result buffers over it; host code uses the typed calls.
#pragma once

#include "arx/ads.h"
#include "arx/ge.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class AcDbDatabase;

namespace zel::editor {

enum class VarType { Int16, Int32, Real, String, Point2d, Point3d };
enum class VarStore { Drawing, Session };

// Integers as int64_t, reals as double, texts, points (a 2-D point has z = 0).
using VarValue = std::variant<int64_t, double, std::wstring, AcGePoint3d>;

// Reads and writes of a variable that the database models with typed calls.
struct DbAccess {
    VarValue (*get)(const AcDbDatabase& db);
    // False when the database refuses the value.
    bool (*set)(AcDbDatabase& db, const VarValue& v);
};

struct SysVarDef {
    std::wstring_view name;
    VarType type;
    VarStore store;
    bool readOnly;
    VarValue dflt;
    double lo = 0, hi = 0;                      // range of numbers (none when lo > hi)
    std::wstring_view header = {};              // "$ORTHOMODE" for drawing variables
    int16_t code = 0;                           // its group code
    const DbAccess* db = nullptr;               // typed access instead of the header store
    bool (*accepts)(const VarValue&) = nullptr; // an extra check of new values
    bool hasRange() const { return lo <= hi; }
};

// The table, sorted by name.
const std::vector<SysVarDef>& sysVarTable();
const SysVarDef* findSysVar(std::wstring_view name);
// The result type of a variable's value (RTSHORT, RTLONG, RTREAL, RTSTR, RTPOINT, RT3DPOINT).
int resultType(VarType type);

enum class SetStatus { Ok, Unknown, ReadOnly, WrongType, OutOfRange, NoDrawing, Refused };

class SysVars {
public:
    using Observer = std::function<void(std::wstring_view name)>;
    using Provider = std::function<VarValue()>;

    // The drawing whose header holds the drawing variables (may be null: they read as their
    // defaults and cannot be set).
    void setDatabase(AcDbDatabase* db) { mDb = db; }
    AcDbDatabase* database() const { return mDb; }

    std::optional<VarValue> get(std::wstring_view name) const;
    // As the user sets it: read-only variables are refused.
    SetStatus set(std::wstring_view name, const VarValue& value);
    // As the host sets it (commands keep CMDNAMES, AREA, UNDOCTL ... up to date).
    SetStatus setInternal(std::wstring_view name, const VarValue& value);

    // Typed reads for host code; the variable must exist and have that type (asserted).
    int64_t integer(std::wstring_view name) const;
    double real(std::wstring_view name) const;
    std::wstring string(std::wstring_view name) const;
    AcGePoint3d point(std::wstring_view name) const;

    // The C-style calls: RTNORM, or RTERROR for an unknown name, a read-only variable, a value
    // of the wrong type or out of range. getRb fills restype and resval of the node (a string
    // is allocated with malloc; the caller frees it); rbnext is not touched.
    int getRb(std::wstring_view name, resbuf* result) const;
    int setRb(std::wstring_view name, const resbuf* value);

    // A session variable whose value is computed when read (LASTPROMPT from the transcript).
    void setProvider(std::wstring_view name, Provider provider);

    // Observers are told the name of every variable that changed.
    int addObserver(Observer observer);
    void removeObserver(int id);

private:
    SetStatus store(const SysVarDef& def, const VarValue& value);
    VarValue readDrawing(const SysVarDef& def) const;
    bool writeDrawing(const SysVarDef& def, const VarValue& value);
    void notify(std::wstring_view name);

    AcDbDatabase* mDb = nullptr;
    std::map<std::wstring, VarValue, std::less<>> mSession;   // by table name
    std::map<std::wstring, Provider, std::less<>> mProviders; // by table name
    std::vector<std::pair<int, Observer>> mObservers;
    int mNextObserver = 1;
};

// A value brought to the type of a variable: integers widen to reals, 2-D and 3-D points
// convert; nullopt for anything else, for integers beyond the type and for values that are
// not finite.
std::optional<VarValue> coerce(VarType type, const VarValue& value);
// A result buffer's value, or nullopt for a type that no variable has.
std::optional<VarValue> valueOf(const resbuf& rb);

} // namespace zel::editor
