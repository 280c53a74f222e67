#include "rtf/RtfFormats.h"
#include "rtf/RtfTwips.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QTextOption>

#include <algorithm>

namespace {

// Caps on what a file can make the reader keep, far above anything a real document needs.
constexpr qsizetype maxFonts = 4096;
constexpr qsizetype maxColors = 4096;
constexpr qsizetype maxDistinctFormats = 16384;
constexpr qsizetype maxLinks = 4096;
constexpr qsizetype maxTabsShown = 32;
// Line spacing within what the layout budget allows for: it counts lines as their font makes them.
constexpr qreal maxLinePercent = 300;
constexpr int maxLineTwips = 720;
constexpr int singleLineTwips = 240;

// \\sl: a multiple of single spacing with \\slmult1, else at least its height, or exactly it where negative.
void setLineHeight(QTextBlockFormat &format, const RtfParaState &state)
{
    if (state.lineTwips == 0) {
        return;
    }
    if (state.lineMultiple && state.lineTwips > 0) {
        format.setLineHeight(qMin(maxLinePercent, state.lineTwips * 100.0 / singleLineTwips),
                             QTextBlockFormat::ProportionalHeight);
        return;
    }
    const qreal pixels = qMin(maxLineTwips, qAbs(state.lineTwips)) / RtfTwips::perPixel;
    format.setLineHeight(pixels, state.lineTwips < 0 ? QTextBlockFormat::FixedHeight : QTextBlockFormat::MinimumHeight);
}

QTextOption::Tab qtTab(const RtfTab &tab, qreal position)
{
    switch (tab.kind) {
    case RtfTab::Kind::Right:
        return QTextOption::Tab(position, QTextOption::RightTab);
    case RtfTab::Kind::Center:
        return QTextOption::Tab(position, QTextOption::CenterTab);
    case RtfTab::Kind::Decimal:
        return QTextOption::Tab(position, QTextOption::DelimiterTab, u'.');
    case RtfTab::Kind::Left:
        break;
    }
    return QTextOption::Tab(position, QTextOption::LeftTab);
}

// A list item is its bullet or number, a tab, then the text: with a hanging first line the tab has to reach the
// left margin so that the text lines up with the lines that wrap below it. Qt measures tab stops from where the
// first line starts, RTF from the left edge of the text. The leaders go into a property of their own, in the
// order of the stops.
void setTabs(QTextBlockFormat &format, const QList<RtfTab> &rtfTabs, int lineStart, int firstLine)
{
    QList<std::pair<QTextOption::Tab, char16_t>> tabs;
    for (const RtfTab &tab : rtfTabs) {
        const qreal position = (tab.twips - lineStart) / RtfTwips::perPixel;
        if (position > 0 && tabs.size() < maxTabsShown) {
            tabs.append({qtTab(tab, position), tab.leader});
        }
    }
    const qreal hanging = -firstLine / RtfTwips::perPixel;
    const auto atHanging = [hanging](const auto &tab) { return tab.first.position == hanging; };
    if (firstLine < 0 && std::none_of(tabs.cbegin(), tabs.cend(), atHanging)) {
        tabs.append({QTextOption::Tab(hanging, QTextOption::LeftTab), u' '});
    }
    if (tabs.isEmpty()) {
        return;
    }
    std::stable_sort(tabs.begin(), tabs.end(),
                     [](const auto &a, const auto &b) { return a.first.position < b.first.position; });
    QList<QTextOption::Tab> positions;
    QString leaders;
    for (const auto &[tab, leader] : tabs) {
        positions.append(tab);
        leaders.append(QChar(leader));
    }
    format.setTabPositions(positions);
    if (!leaders.trimmed().isEmpty()) {
        format.setProperty(rtfTabLeadersProperty, leaders);
    }
}

} // namespace

size_t qHash(const RtfCharState &state, size_t seed) noexcept
{
    return qHashMulti(seed, state.bold, state.italic, state.underline, state.strike, state.hidden, state.smallCaps,
                      state.caps, int(state.vertical), state.raise, state.halfPoints, state.font, state.color,
                      state.background, state.link);
}

void RtfFormats::setDefaultFont(int number)
{
    if (number == defaultFont_) {
        return;
    }
    defaultFont_ = number;
    forgetFormats();
}

void RtfFormats::addFont(int number, const RtfFont &font)
{
    if (fonts_.size() >= maxFonts && !fonts_.contains(number)) {
        return;
    }
    fonts_.insert(number, font);
    forgetFormats();
}

void RtfFormats::addColor(const QColor &color)
{
    if (colors_.size() >= maxColors) {
        return;
    }
    colors_.append(color);
    forgetFormats();
}

int RtfFormats::addLink(const QString &address)
{
    // Looked up by hash: a file may hold thousands of long, distinct addresses.
    if (const auto known = linkIndexes_.constFind(address); known != linkIndexes_.cend()) {
        return *known;
    }
    if (links_.size() >= maxLinks) {
        return -1;
    }
    links_.append(address);
    linkIndexes_.insert(address, int(links_.size() - 1));
    return int(links_.size() - 1);
}

RtfCodePage RtfFormats::codePage(int font, RtfCodePage documentPage) const
{
    const auto it = fonts_.constFind(font < 0 ? defaultFont_ : font);
    return it == fonts_.cend() ? documentPage : it->page;
}

int RtfFormats::textCodePage(int font, int documentPage) const
{
    const auto it = fonts_.constFind(font < 0 ? defaultFont_ : font);
    return it == fonts_.cend() || it->codePage == 0 ? documentPage : it->codePage;
}

QTextCharFormat RtfFormats::charFormat(const RtfCharState &state)
{
    auto it = charFormats_.constFind(state);
    if (it == charFormats_.cend()) {
        if (charFormats_.size() >= maxDistinctFormats) {
            return lastCharFormat_;
        }
        if (state.link >= 0 && (state.underline || state.color > 0)) {
            styledLinks_.insert(state.link);
        }
        it = charFormats_.insert(state, makeCharFormat(state));
    }
    lastCharFormat_ = *it;
    return lastCharFormat_;
}

QTextBlockFormat RtfFormats::blockFormat(const RtfParaState &state)
{
    if (haveBlockFormat_ && state == lastParaState_) {
        return lastBlockFormat_;
    }

    QTextBlockFormat format;
    // RTF's left and right are the page's, whichever way the paragraph runs; Qt's turn with the direction.
    const Qt::Alignment absolute = state.rightToLeft ? Qt::AlignAbsolute : Qt::Alignment();
    switch (state.alignment) {
    case RtfParaState::Alignment::Start:
        format.setAlignment(Qt::AlignLeft);
        break;
    case RtfParaState::Alignment::Left:
        format.setAlignment(Qt::AlignLeft | absolute);
        break;
    case RtfParaState::Alignment::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case RtfParaState::Alignment::Right:
        format.setAlignment(Qt::AlignRight | absolute);
        break;
    case RtfParaState::Alignment::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    if (state.rightToLeft) {
        format.setLayoutDirection(Qt::RightToLeft);
    }
    // Negative margins would push text out of the view; a hanging first line may reach the left edge only.
    const int left = qMax(0, state.leftTwips);
    const int firstLine = qMax(-left, state.firstLineTwips);
    format.setLeftMargin(left / RtfTwips::perPixel);
    format.setRightMargin(qMax(0, state.rightTwips) / RtfTwips::perPixel);
    format.setTextIndent(firstLine / RtfTwips::perPixel);
    format.setTopMargin(qMax(0, state.beforeTwips) / RtfTwips::perPixel);
    format.setBottomMargin(qMax(0, state.afterTwips) / RtfTwips::perPixel);
    setLineHeight(format, state);
    setTabs(format, state.tabs, left + firstLine, firstLine);
    if (state.background > 0 && state.background < colors_.size() && colors_.at(state.background).isValid()) {
        format.setBackground(colors_.at(state.background));
    }

    lastParaState_ = state;
    lastBlockFormat_ = format;
    haveBlockFormat_ = true;
    return format;
}

QTextCharFormat RtfFormats::makeCharFormat(const RtfCharState &state) const
{
    QTextCharFormat format;
    format.setFontPointSize(state.halfPoints / 2.0);
    if (state.bold) {
        format.setFontWeight(QFont::Bold);
    }
    if (state.italic) {
        format.setFontItalic(true);
    }
    if (state.underline) {
        format.setFontUnderline(true);
    }
    if (state.strike) {
        format.setFontStrikeOut(true);
    }
    if (state.vertical == RtfCharState::Vertical::Subscript) {
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    } else if (state.vertical == RtfCharState::Vertical::Superscript) {
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    }
    if (state.raise != 0) {
        // At most a line's height up or down, which the layout budget allows for.
        format.setBaselineOffset(qBound(-100.0, state.raise * 100.0 / state.halfPoints, 100.0));
    }
    if (state.smallCaps) {
        format.setFontCapitalization(QFont::SmallCaps);
    } else if (state.caps) {
        format.setFontCapitalization(QFont::AllUppercase);
    }

    // Text in a symbol font has already been turned into the Unicode characters it shows, which the
    // symbol font itself would draw as something else.
    const auto font = fonts_.constFind(state.font < 0 ? defaultFont_ : state.font);
    if (font != fonts_.cend() && !font->name.isEmpty() && !rtfIsSymbolPage(font->page)) {
        format.setFontFamilies({font->name});
    }

    if (state.color >= 0 && state.color < colors_.size() && colors_.at(state.color).isValid()) {
        format.setForeground(colors_.at(state.color));
    }
    // Index 0 is the default background, none, whatever the table's first colour is.
    if (state.background > 0 && state.background < colors_.size() && colors_.at(state.background).isValid()) {
        format.setBackground(colors_.at(state.background));
    }
    if (state.link >= 0 && state.link < links_.size()) {
        format.setAnchor(true);
        format.setAnchorHref(links_.at(state.link));
        // A link its writer gave no look of its own (colour 0 is the default text colour, whatever the table
        // says) looks like one all the same. Where the writer styled some of its text, the rest (the tab and the
        // page number of a line of contents) keeps the plain look the writer gave it.
        if (!state.underline && state.color <= 0 && !styledLinks_.contains(state.link)) {
            format.setFontUnderline(true);
            format.setForeground(qGuiApp != nullptr ? QGuiApplication::palette().color(QPalette::Link)
                                                    : QColor(Qt::blue));
        }
    }
    return format;
}

void RtfFormats::forgetFormats()
{
    charFormats_.clear();
    haveBlockFormat_ = false;
    ++generation_;
}
