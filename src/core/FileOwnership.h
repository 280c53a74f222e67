#pragma once

struct stat;

// The owner and group of a vault that a save replaces with a new file. The new file belongs to whoever saves, so
// in a folder that several users share, a save by another member of the group would take the vault away from its
// owner (a file of mode 660 given to the saver's own group).
namespace FileOwnership {

// Gives the new file `fd` the owner and group of `old`, as far as this user may: root keeps both; any other user
// keeps the group (a file's owner may give it any group of its own) and becomes the owner. False where that would
// take anything from the old owner or group (this user is not in the vault's group, or the old owner could then
// reach the file only through a group it is not in, or with fewer rights): the caller writes the vault in place
// instead, which keeps everything.
bool keep(int fd, const struct stat &old);

} // namespace FileOwnership
