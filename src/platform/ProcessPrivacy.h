#pragma once

// The running program holds the master password and every entry in its memory. Other processes of the same user
// must not read that memory (a debugger attaching, /proc/PID/mem), and a crash must not write it into a core file
// beside the vault.
namespace ProcessPrivacy {

// Makes the process undumpable and switches core files off, for good. Call it first thing in main, before the
// process holds anything secret. True when both took effect; on systems without these controls it does nothing
// and answers false.
bool closeToOtherProcesses();

} // namespace ProcessPrivacy
