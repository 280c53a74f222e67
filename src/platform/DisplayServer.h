#pragma once

// Which display server the program draws on. Qt alone would pick native Wayland on some Wayland sessions, where no
// window can be kept on top or placed by the program; through the session's X server (Xwayland) both hold. So an X
// server that answers is used first, native Wayland only where none does, and the user's own choice
// (QT_QPA_PLATFORM) always wins.
namespace DisplayServer {

// Call before the application object exists. Returns true when it chose, through the environment that Qt reads.
bool choose();

// Call once the application object exists: takes the choice out of the environment again, so that programs the
// program starts (the desktop's opener and whatever it opens) choose for themselves.
void forgetChoice();

// True when the program draws on native Wayland, where no window can stay on top of the others and the program
// cannot place its windows.
bool isNativeWayland();

} // namespace DisplayServer
