#include "rtf/RtfLists.h"

#include "rtf/RtfFormats.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype maxLists = 1024;
constexpr qsizetype maxOverrides = 4096;
constexpr qsizetype maxPns = 1024;
constexpr int maxRoman = 3999;

QString roman(int value)
{
    static constexpr std::pair<int, const char16_t *> digits[] = {
        {1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"}, {90, u"XC"}, {50, u"L"},
        {40, u"XL"},  {10, u"X"},   {9, u"IX"},  {5, u"V"},    {4, u"IV"},  {1, u"I"}};
    QString text;
    for (const auto &[amount, letters] : digits) {
        while (value >= amount) {
            text += QStringView(letters);
            value -= amount;
        }
    }
    return text;
}

// a, b, ..., z, aa, ab, ...
QString letters(int value)
{
    QString text;
    while (value > 0) {
        --value;
        text.prepend(QChar(u'A' + value % 26));
        value /= 26;
    }
    return text;
}

// Bullets written in a symbol font, as \u-3913 (U+F0B7) or as a byte, become the characters they show.
QString decodedLevelChar(QChar c, RtfCodePage page)
{
    const char16_t unit = c.unicode();
    if (rtfIsSymbolPage(page) && (unit < 0x100 || (unit >= 0xF020 && unit <= 0xF0FF))) {
        return QString(QChar(rtfDecodeByte(page, uchar(unit & 0xFF))));
    }
    return QString(c);
}

} // namespace

QString rtfFormatNumber(int value, int numberFormat)
{
    switch (numberFormat) {
    case RtfLists::UpperRoman:
    case RtfLists::LowerRoman:
        if (value > 0 && value <= maxRoman) {
            const QString text = roman(value);
            return numberFormat == RtfLists::UpperRoman ? text : text.toLower();
        }
        return QString::number(value);
    case RtfLists::UpperLetter:
    case RtfLists::LowerLetter:
        if (value > 0) {
            const QString text = letters(value);
            return numberFormat == RtfLists::UpperLetter ? text : text.toLower();
        }
        return QString::number(value);
    case RtfLists::DecimalZero:
        return value >= 0 && value < 10 ? u"0"_s + QString::number(value) : QString::number(value);
    case RtfLists::Bullet:
    case RtfLists::NoNumber:
        return {};
    default:
        return QString::number(value);
    }
}

void RtfLists::beginList()
{
    commitList();
    pendingList_ = List{};
    listPending_ = true;
}

void RtfLists::setListId(int id)
{
    pendingList_.id = id;
}

RtfLists::Level *RtfLists::addLevel()
{
    if (!listPending_ || pendingList_.levels.size() >= maxLevels) {
        return nullptr;
    }
    pendingList_.levels.append(Level{});
    return &pendingList_.levels.last();
}

RtfLists::Level *RtfLists::currentLevel()
{
    return listPending_ && !pendingList_.levels.isEmpty() ? &pendingList_.levels.last() : nullptr;
}

void RtfLists::endListTable()
{
    commitList();
}

void RtfLists::commitList()
{
    if (!listPending_) {
        return;
    }
    listPending_ = false;
    if (lists_.size() < maxLists || lists_.contains(pendingList_.id)) {
        lists_.insert(pendingList_.id, pendingList_);
    }
}

void RtfLists::setOverrideListId(int id)
{
    pendingOverrideListId_ = id;
}

void RtfLists::addOverride(int number)
{
    if (overrides_.size() < maxOverrides || overrides_.contains(number)) {
        overrides_.insert(number, pendingOverrideListId_);
    }
}

int RtfLists::addPn(const Pn &pn)
{
    // Writers repeat a list's numbering in each of its paragraphs.
    if (!pns_.isEmpty() && pns_.last() == pn) {
        return int(pns_.size() - 1);
    }
    if (pns_.size() >= maxPns) {
        return -1;
    }
    pns_.append(pn);
    return int(pns_.size() - 1);
}

const RtfLists::List *RtfLists::listFor(int listOverride) const
{
    const auto override = overrides_.constFind(listOverride);
    if (override == overrides_.cend()) {
        return nullptr;
    }
    const auto list = lists_.constFind(*override);
    return list == lists_.cend() ? nullptr : &*list;
}

bool RtfLists::knows(int listOverride, int level) const
{
    const List *list = listFor(listOverride);
    return list != nullptr && level >= 0 && level < list->levels.size();
}

const RtfLists::Level *RtfLists::level(int listOverride, int level) const
{
    return knows(listOverride, level) ? &listFor(listOverride)->levels.at(level) : nullptr;
}

QString RtfLists::nextLabel(int listOverride, int level, const RtfFormats &formats, RtfCodePage documentPage)
{
    if (!knows(listOverride, level)) {
        return {};
    }
    const List &list = *listFor(listOverride);
    // The overrides of one list number on from each other, as the list's own paragraphs do: a sub-level written
    // with an \\ls of its own still counts under its parent's number.
    Counters &counters = counters_[list.id];
    const Level &own = list.levels.at(level);
    counters.values[level] = counters.started[level] ? counters.values[level] + 1 : own.startAt;
    counters.started[level] = true;
    for (int deeper = level + 1; deeper < maxLevels; ++deeper) {
        counters.started[deeper] = false;
    }

    const RtfCodePage page = formats.codePage(own.font, documentPage);
    QString label;
    const qsizetype length = own.text.isEmpty() ? 0 : qMin<qsizetype>(own.text.at(0).unicode(), own.text.size() - 1);
    for (qsizetype i = 1; i <= length; ++i) {
        const QChar c = own.text.at(i);
        if (c.unicode() < maxLevels) {
            const int other = c.unicode();
            if (other < list.levels.size()) {
                const int value = counters.started[other] ? counters.values[other] : list.levels.at(other).startAt;
                label += rtfFormatNumber(value, list.levels.at(other).numberFormat);
            }
        } else if (c.unicode() >= 0x20) {
            label += decodedLevelChar(c, page);
        }
    }
    if (label.trimmed().isEmpty()) {
        return {};
    }
    switch (own.follow) {
    case 0:
        return label + u'\t';
    case 1:
        return label + u' ';
    default:
        return label;
    }
}

QString RtfLists::nextPnLabel(int pn)
{
    if (pn < 0 || pn >= pns_.size()) {
        return {};
    }
    const Pn &own = pns_.at(pn);
    switch (own.kind) {
    case Pn::Kind::None:
        return {};
    case Pn::Kind::Bullet:
        lastPn_ = -1;
        return own.before.isEmpty() ? QString() : own.before + u'\t';
    case Pn::Kind::Number:
        break;
    }
    // Writers repeat the same numbering in every paragraph of a list, each time as a new group.
    const bool continues =
        lastPn_ >= 0 && pns_.at(lastPn_).kind == Pn::Kind::Number && pns_.at(lastPn_).numberFormat == own.numberFormat;
    pnCounter_ = continues ? pnCounter_ + 1 : own.startAt;
    lastPn_ = pn;
    return own.before + rtfFormatNumber(pnCounter_, own.numberFormat) + own.after + u'\t';
}

void RtfLists::paragraphWithoutList()
{
    lastPn_ = -1;
}
