#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// What an RTF control word means to the reader. Words not listed are ignored, as RTF asks of readers.
enum class RtfKeyword : quint8 {
    Unknown,
    SkipDestination, // a group whose content is never shown (style sheet, pictures, headers, ...)
    FontTable,
    ColorTable,
    Ansi,
    OtherCharacterSet, // \mac, \pc, \pca
    AnsiCodePage,
    DefaultFont,
    Font,
    FontCharset,
    Red,
    Green,
    Blue,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Plain,
    FontSize,
    ForegroundColor,
    BackgroundColor,
    Subscript,
    Superscript,
    NoSuperSub,
    ParagraphDefault,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    Paragraph,
    Line,
    Tab,
    Character, // a word that stands for one character, such as \emdash
    Unicode,
    UnicodeSkip,
    Binary,
};

struct RtfKeywordInfo {
    RtfKeyword keyword = RtfKeyword::Unknown;
    char16_t character = 0; // for RtfKeyword::Character
};

RtfKeywordInfo rtfKeyword(QByteArrayView word);
