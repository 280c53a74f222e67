#pragma once

// What a screen reader is told of a text box: what Qt tells of a QLineEdit, but with whole attribute runs. Qt reports
// an empty run at every character, and Orca then leaves a box's last character out ("ann" for "anna"); here the box's
// whole text is one run, as it has one format. A masked box (a password box) still gives away neither its text nor
// its characters: its text reads as empty, its value as mask characters, and so do its changes (ScreenReaderEvents).
namespace LineEditAccessible {

// Installs the factory for every QLineEdit and every box made from it; later calls do nothing.
// ScreenReaderEvents::install calls it.
void install();

} // namespace LineEditAccessible
