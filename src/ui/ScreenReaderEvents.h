#pragma once

// What the program's widgets tell a screen reader, mended on its way out. Once installed, every accessibility event
// passes through here before Qt hands it to the platform:
// - a masked text box (a password box) reports mask characters where Qt would report the typed or deleted text;
// - a text box reports no caret move before the screen reader has heard that it took the focus, since a reader
//   that sees the caret first moves there silently and then ignores the focus;
// - a text box without the focus reports no change of its selection;
// - a list that takes the focus reports its current row instead of itself, so that the row is read out;
// - a list that does not have the focus reports no focus, whatever its current row does.
namespace ScreenReaderEvents {

// Installs the filter once, and the text boxes' own accessible (LineEditAccessible); later calls do nothing. Chains to
// a handler installed before.
void install();

} // namespace ScreenReaderEvents
