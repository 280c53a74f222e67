#pragma once

#include "rtf/RtfCodePage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

// Character formatting as RTF describes it: font and colours are indexes into the file's tables.
struct RtfCharState {
    enum class Vertical : quint8 { Normal, Subscript, Superscript };

    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool smallCaps = false;
    bool caps = false;
    Vertical vertical = Vertical::Normal;
    int raise = 0; // \\up and \\dn: half-points above the baseline, below where negative
    int halfPoints = 24;
    int font = -1; // -1: the document's default font
    int color = 0;
    int background = 0; // 0: none, like an index past the table; \\highlight and \\chcbpat
    int link = -1;      // an address in RtfFormats' link table

    bool operator==(const RtfCharState &) const = default;
};

size_t qHash(const RtfCharState &state, size_t seed = 0) noexcept;

struct RtfTab {
    enum class Kind : quint8 { Left, Right, Center, Decimal };

    int twips = 0; // from the left edge of the text, where \\li0 starts
    Kind kind = Kind::Left;
    char16_t leader = u' '; // what fills the space the tab leaves, as rtfTabLeadersProperty writes it

    bool operator==(const RtfTab &) const = default;
};

// The block property that holds one leader character per tab stop of the block, in the order of its tab stops
// (QTextOption::Tab holds none): '.' dots, '-' hyphens, '_' a line, '=' a thick line, u'\u00B7' middle dots, ' ' none.
// Only a block with a leader has it.
inline constexpr int rtfTabLeadersProperty = QTextFormat::UserProperty + 1;

// Paragraph formatting; lengths in twips (1/1440 inch).
struct RtfParaState {
    // Start: none given, the side where the paragraph's direction begins.
    enum class Alignment : quint8 { Start, Left, Center, Right, Justify };

    Alignment alignment = Alignment::Start;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;
    int beforeTwips = 0;
    int afterTwips = 0;
    int lineTwips = 0;         // \\sl: 0 single, above 0 at least (proportional with lineMultiple), below 0 exactly
    bool lineMultiple = false; // \\slmult1: \\sl is a multiple of single spacing, 240 for one line
    bool rightToLeft = false;  // \\rtlpar
    int background = 0;        // \\cbpat, an index into the colour table; 0: none
    QList<RtfTab> tabs;
    RtfTab::Kind nextTabKind = RtfTab::Kind::Left;
    char16_t nextTabLeader = u' ';
    int listOverride = 0; // \\lsN of a list in the list tables; 0: none
    int listLevel = 0;
    int pn = -1; // the paragraph's old-style numbering, an index into RtfLists
    bool inTable = false;
    int nesting = 0; // \\itap: 1 in a table's cell, 2 in a cell of a table in a cell, ...

    // How deep in tables the paragraph is: 0 outside them.
    int tableDepth() const { return nesting > 0 ? nesting : (inTable ? 1 : 0); }

    bool operator==(const RtfParaState &) const = default;
};

struct RtfFont {
    QString name;
    RtfCodePage page = RtfCodePage::Windows1252;
    int codePage = 0; // the Windows code page of its text (RtfTextDecoder's page numbers); 0: the document's
};

// The font and colour tables of a file, and the Qt formats made from states that refer to them. Formats
// are made once per distinct state; a file that asks for more distinct formats than any real document
// keeps its last one from then on, so that it cannot fill memory with them.
class RtfFormats final {
public:
    RtfFormats() = default;
    Q_DISABLE_COPY_MOVE(RtfFormats)

    void setDefaultFont(int number);
    void addFont(int number, const RtfFont &font);
    void addColor(const QColor &color); // an invalid colour stands for "auto"
    // The index of a link's address for RtfCharState::link; -1 once the table is full.
    int addLink(const QString &address);

    // The colour at the index of the colour table; invalid for "auto" and past the table.
    QColor color(int index) const { return index >= 0 && index < colors_.size() ? colors_.at(index) : QColor(); }
    // The code page of text in the given font (-1: the default font).
    RtfCodePage codePage(int font, RtfCodePage documentPage) const;
    // The code page that text in the given font is written in, as RtfFont::codePage has it.
    int textCodePage(int font, int documentPage) const;

    QTextCharFormat charFormat(const RtfCharState &state);
    QTextBlockFormat blockFormat(const RtfParaState &state);

    // Changes whenever a table change may have changed the format made for a state.
    quint64 generation() const { return generation_; }

private:
    QTextCharFormat makeCharFormat(const RtfCharState &state) const;
    void forgetFormats();

    int defaultFont_ = 0;
    QHash<int, RtfFont> fonts_;
    QList<QColor> colors_;
    QStringList links_;
    QHash<QString, int> linkIndexes_; // where each address is in links_
    QSet<int> styledLinks_;           // links that their writer gave a look of their own somewhere
    QHash<RtfCharState, QTextCharFormat> charFormats_;
    QTextCharFormat lastCharFormat_;
    RtfParaState lastParaState_;
    QTextBlockFormat lastBlockFormat_;
    bool haveBlockFormat_ = false;
    quint64 generation_ = 0;
};
