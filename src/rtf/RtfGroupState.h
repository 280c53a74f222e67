#pragma once

#include "rtf/RtfFormats.h"

// Where the text of a group goes: the body, a table of the document, a gathered text, or nowhere.
enum class RtfDestination : quint8 {
    Text,
    Skip,
    FontTable,
    ColorTable,
    FieldInstruction,
    ListTable,
    LevelText,
    ListOverrideTable,
    ListText,
    Pn,
    PnText,
    Picture,
    Footnote,
    StyleSheet,
    StyleEntry,        // a style of the style sheet, \defchp or \defpap
    Shape,             // a shape's own words, and properties of which only its picture is read
    ShapePropertyName, // \sn: the name of the shape's property being read
};

// What a group of the file says: its formatting and its destination. A group starts with its parent's.
struct RtfGroupState {
    RtfCharState chars;
    RtfParaState para;
    RtfDestination destination = RtfDestination::Text;
    int unicodeSkip = 1;
    bool ownsDestination = false; // the destination began in this group and ends with it
    bool starred = false;         // after \*: only a destination the reader knows is read
    bool inShape = false;         // in a shape or its fallback, where another shape is not read
    RtfDestination beforeStar = RtfDestination::Text;
};
