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
    OtherCharacterSet, // \mac, \pc, \pca; character holds the code page
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
    Raised,  // \\up
    Lowered, // \\dn
    SmallCaps,
    Caps,
    ParagraphBackground, // \\cbpat
    LineSpacing,         // \\sl
    LineMultiple,        // \\slmult
    RightToLeft,         // \\rtlpar
    LeftToRight,         // \\ltrpar
    DefaultTab,          // \\deftab
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
    // Fields: a hyperlink's address is in the instruction, its text in the result.
    Field,
    FieldInstruction,
    FieldResult,
    // Lists: the tables of list formats, and what a paragraph says about its list.
    ListTable,
    ListOverrideTable,
    List,
    ListId,
    ListLevel,
    LevelNumberFormat,
    LevelStartAt,
    LevelText,
    LevelFollow,
    ListOverrideNumber, // \ls
    ListLevelNumber,    // \ilvl
    ListText,           // \listtext and \pntext: the writer's own rendering of the number
    Pn,
    PnLevelBullet,
    PnLevelNumber,  // \pnlvlbody and \pnlvlN
    PnLevelNone,    // \pnlvlcont
    PnNumberFormat, // character holds the list level number format it stands for
    PnStart,
    PnFont,
    PnTextBefore,
    PnTextAfter,
    // Tab stops.
    TabPosition,
    TabRight,
    TabCenter,
    TabDecimal,
    TabLeader, // character holds the leader, as rtfTabLeadersProperty writes it
    // Tables.
    InTable,
    Cell,
    Row,
    RowDefaults,
    CellRight,
    CellBorderTop,
    CellBorderLeft,
    CellBorderBottom,
    CellBorderRight,
    OtherBorder, // a paragraph's or a row's border: what follows is not a cell's
    BorderNone,
    BorderStyle,
    BorderWidth,
    BorderColor,
    CellMergeFirst,
    CellMerged,
    CellMergeDownFirst,
    CellMergedDown,
    CellBackground,
    CellPattern,
    CellShading,
    NestingLevel, // \itap
    NestCell,     // the end of a cell of a table in a table
    NestRow,
    NestTableProps, // the definition of a row of a table in a table
    // Pictures.
    ShapePicture,
    Picture,
    PictureIsPng,
    PictureIsJpeg,
    PictureWidth,
    PictureHeight,
    PictureWidthGoal,
    PictureHeightGoal,
    PictureScaleX,
    PictureScaleY,
    // A font's code page, footnotes, and the style sheet with the document's default formatting.
    FontCodePage,
    Footnote,
    FootnoteMark, // \chftn: the number of the footnote
    StyleSheet,
    DefaultCharacterFormat, // \defchp
    DefaultParagraphFormat, // \defpap
    ParagraphStyle,         // \s
    CharacterStyle,         // \cs
    OtherStyle,             // \ds, \ts: a section's or a table's
    PictureIsMetafile,
    PictureIsBitmap,
    // Shapes: a picture in a shape's "pib" property, and the shape's fallback for readers without shapes.
    Shape,
    ShapeInstance,
    ShapeResult,
    ShapeProperty,
    ShapePropertyName,
    ShapeLeft,
    ShapeTop,
    ShapeRight,
    ShapeBottom,
};

struct RtfKeywordInfo {
    RtfKeyword keyword = RtfKeyword::Unknown;
    char16_t character = 0; // for RtfKeyword::Character; the number format for RtfKeyword::PnNumberFormat; the
                            // leader for RtfKeyword::TabLeader
};

RtfKeywordInfo rtfKeyword(QByteArrayView word);
