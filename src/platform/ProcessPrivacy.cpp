#include "platform/ProcessPrivacy.h"

#ifdef __linux__
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace ProcessPrivacy {

bool closeToOtherProcesses()
{
#ifdef __linux__
    // Undumpable also hands the process's /proc files to root and refuses ptrace to anyone without CAP_SYS_PTRACE.
    const bool undumpable = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    const rlimit noCore{0, 0};
    const bool noCoreFile = setrlimit(RLIMIT_CORE, &noCore) == 0;
    return undumpable && noCoreFile;
#else
    return false;
#endif
}

} // namespace ProcessPrivacy
