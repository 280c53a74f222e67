#pragma once

#include <QString>

struct VaultHolder;

// How the program tells the user who holds the vault that it was refused, and what helps.
namespace LockMessages {

// Which lock is held and by whom, as far as this copy can tell, and what the user can do about it. It follows the
// sentence that says the vault is taken, both at the start and before a save.
QString whoHoldsIt(const VaultHolder &holder);

} // namespace LockMessages
