// Duplicate removal: the engine behind ZEL_DELDUP. It takes the lines, circles and arcs of a
// selection as records, finds those that lie on top of each other and removes the surplus
// (exact duplicates, pieces inside other pieces, overlaps trimmed or merged), reporting every
// change through DupEditor, which the command implements on the drawing.
//
// Two procedures give identical results: the pairwise one compares every record with every
// later one, as the command always has; the grouped one compares only records that can interact
// (see dedup_grouped.cpp) and is the one the command uses.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zel::dedup {

// Entity kinds of a record (the values of the record's kind field).
enum class DupKind : int { Line = 1, Circle = 2, Arc = 4 };

struct DupPoint {
    double x = 0, y = 0, z = 0;
    bool operator==(const DupPoint&) const = default;
};

// The command's handle of an entity (an object id turned into a number); opaque to the engine.
using EntityKey = std::uint64_t;

// One line, circle or arc of the selection, in selection order.
struct DupItem {
    DupKind kind = DupKind::Line;
    EntityKey id = 0;
    std::wstring linetype, layer;
    int colour = 0;
    DupPoint start, end; // line end points
    DupPoint centre;     // circle or arc
    double radius = 0;
    double startAngle = 0, endAngle = 0; // radians; a circle has 0 and 2*pi
    bool merged = false;                 // has absorbed another entity
    bool trimmed = false;                // has been shortened
    bool operator==(const DupItem&) const = default;
};

// The options word stored under "DDupMode", bit 0 first.
class DupOptions {
public:
    enum Bit : unsigned {
        ExactLines = 1u << 0,
        ExactCircles = 1u << 1,
        ExactArcs = 1u << 2,
        PartialLines = 1u << 3,
        PartialCircles = 1u << 4,
        PartialArcs = 1u << 5,
        Merge = 1u << 6,
        ShowResult = 1u << 7,
    };
    static constexpr unsigned kDefault = 47; // exact lines, circles, arcs; partial lines, arcs
    static constexpr unsigned kAllBits = 0xFF;

    DupOptions() = default;
    explicit DupOptions(unsigned bits) : bits_(bits & kAllBits) {}
    // The settings text ("%d"); anything but a whole number 0..255 gives the default.
    static DupOptions fromSetting(const std::wstring& text);
    std::wstring toSetting() const;

    unsigned bits() const { return bits_; }
    bool has(Bit b) const { return (bits_ & b) != 0; }
    // Any of the six removal options on (pre-selected entities are then used without a dialog).
    bool anyRemoval() const { return (bits_ & 0x3F) != 0; }
    bool qualifies(DupKind kind) const;

private:
    unsigned bits_ = kDefault;
};

inline constexpr const wchar_t* kDDupModeKey = L"DDupMode";

// The eight counters, in listing order.
enum class DupCounter : int {
    DeletedLines,
    DeletedCircles,
    DeletedArcs,
    TrimmedLines,
    TrimmedArcs,
    MergedLines,
    MergedCircles,
    MergedArcs,
};
inline constexpr int kDupCounterCount = 8;

struct DupCounters {
    std::array<int, kDupCounterCount> values{};
    int& operator[](DupCounter c) { return values[static_cast<int>(c)]; }
    int operator[](DupCounter c) const { return values[static_cast<int>(c)]; }
    int total() const;
    bool operator==(const DupCounters&) const = default;
};

// The label of a counter in the listing.
const wchar_t* dupCounterLabel(DupCounter c);

// The drawing side of a run. Each call names the entity by its record as it stands before the
// change. A call returns false (or nullopt) when the entity could not be opened; the command
// then prints kDupOpenFailed and the engine leaves the record as it was.
class DupEditor {
public:
    virtual ~DupEditor() = default;
    virtual bool erase(const DupItem& item) = 0;
    virtual bool setLineEnds(const DupItem& line, const DupPoint& start, const DupPoint& end) = 0;
    virtual bool setArcAngles(const DupItem& arc, double startAngle, double endAngle) = 0;
    // A new circle with the arc's centre, radius, colour, line type and layer in model space in
    // place of the arc, which is erased; the new circle's key.
    virtual std::optional<EntityKey> replaceArcByCircle(const DupItem& arc) = 0;
};

// Progress and the user break. preprocessing() is called once, before the records are
// prepared, when the selection holds more than kDupPreprocessingThreshold entities; progress()
// before each record is compared with the later ones (k counts from 0, n is the number of
// records still in the run); userBreak() between records (true stops the run, keeping the work
// done).
class DupMonitor {
public:
    virtual ~DupMonitor() = default;
    virtual void preprocessing(int selected) {}
    virtual void progress(int k, int n) {}
    virtual bool userBreak() { return false; }
};

inline constexpr int kDupPreprocessingThreshold = 500;

// Texts of the command that belong to a run.
inline constexpr const wchar_t* kDupPreprocessingText = L"前処理中...";
inline constexpr const wchar_t* kDupOpenFailed = L"\nｴﾝﾃｨﾃｨのｵｰﾌﾟﾝに失敗";
inline constexpr const wchar_t* kDupInterrupted = L"処理を中断しました";
inline constexpr const wchar_t* kDupNothingSelected = L"\nｵﾌﾞｼﾞｪｸﾄが選択されませんでした.";
std::wstring dupProgressText(int k, int n); // "処理中.....　　k/n"
// The status-bar text after a run with this result (-1, 0 or a count).
const wchar_t* dupStatusText(int result);

struct DupResult {
    int result = 0; // counted entities, or -1 when the selection was empty
    DupCounters counters;
    bool interrupted = false;
    std::vector<DupItem> remaining; // the records not erased, in order, as they stand at the end
};

// The listing of a run: one line per counter, then the break notice when the run was stopped.
std::wstring dupListing(const DupResult& result);

enum class DupProcedure { Pairwise, Grouped };

// One removal run over the lines, circles and arcs of a selection of `selected` entities (of any
// kind). Records that the options do not ask for, lines shorter than the tolerance in both x
// and y, and records with coordinates that are not finite numbers take no part.
DupResult removeDuplicates(std::vector<DupItem> items, int selected, DupOptions options,
                           DupEditor& editor, DupMonitor& monitor,
                           DupProcedure procedure = DupProcedure::Grouped);

} // namespace zel::dedup
