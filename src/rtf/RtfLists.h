#pragma once

#include "rtf/RtfCodePage.h"

#include <QHash>
#include <QList>
#include <QString>

#include <array>

class RtfFormats;

// The numbering of a file's lists: the list tables (\listtable, \listoverridetable) and the older
// paragraph numbering (\pn), with the counters that number the paragraphs as they come. Everything a
// file can add is capped, far above what a real document has.
class RtfLists final {
public:
    static constexpr int maxLevels = 9;

    // A level's number formats, as \levelnfc numbers them.
    enum NumberFormat : int {
        Decimal = 0,
        UpperRoman = 1,
        LowerRoman = 2,
        UpperLetter = 3,
        LowerLetter = 4,
        DecimalZero = 22,
        Bullet = 23,
        NoNumber = 255,
    };

    struct Level {
        int numberFormat = Decimal;
        int startAt = 1;
        int follow = 0; // 0: a tab after the number, 1: a space, 2: nothing
        int font = -1;
        int leftTwips = 0;
        int firstLineTwips = 0;
        QString text; // \leveltext: its length, then characters and the placeholders 0-8 for level numbers
    };

    struct Pn {
        enum class Kind : quint8 { Number, Bullet, None };
        Kind kind = Kind::Number;
        int numberFormat = Decimal;
        int startAt = 1;
        QString before;
        QString after;

        bool operator==(const Pn &) const = default;
    };

    RtfLists() = default;
    Q_DISABLE_COPY_MOVE(RtfLists)

    // \listtable: each \list, its levels, then its \listid.
    void beginList();
    void setListId(int id);
    Level *addLevel();
    Level *currentLevel();
    void endListTable();

    // \listoverridetable: each \listoverride names a list by \listid and gets the number \lsN.
    void setOverrideListId(int id);
    void addOverride(int number);

    // The index of an old-style numbering for RtfParaState::pn, the last one's again when it is the same;
    // -1 once the table is full.
    int addPn(const Pn &pn);

    bool knows(int listOverride, int level) const;
    // The level's own indents, for a paragraph of the list that gives none.
    const Level *level(int listOverride, int level) const;
    // What stands before the text of the next paragraph of a list, with what follows the number, and
    // counts the paragraph. Empty for a level that shows nothing.
    QString nextLabel(int listOverride, int level, const RtfFormats &formats, RtfCodePage documentPage);
    QString nextPnLabel(int pn);
    // A paragraph outside any list ends the old-style numbering's count.
    void paragraphWithoutList();

private:
    struct List {
        int id = 0;
        QList<Level> levels;
    };
    struct Counters {
        std::array<int, maxLevels> values{};
        std::array<bool, maxLevels> started{};
    };

    const List *listFor(int listOverride) const;
    void commitList();

    QHash<int, List> lists_; // by \listid
    List pendingList_;
    bool listPending_ = false;
    int pendingOverrideListId_ = 0;
    QHash<int, int> overrides_;     // \ls number to \listid
    QHash<int, Counters> counters_; // by \\listid
    QList<Pn> pns_;
    int lastPn_ = -1;
    int pnCounter_ = 0;
};

// A number as a list level's format shows it.
QString rtfFormatNumber(int value, int numberFormat);
