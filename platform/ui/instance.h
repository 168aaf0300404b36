// The previous-instance flag: true when another process of the same program
// and the same user is running. The first caller takes a lock that it keeps
// until it ends; a lock left by a process that died no longer counts.
#pragma once

#include <string>

namespace ui {

// `programa` names the lock; the lock lives in the user's run-time folder, or
// without one in a folder of the user's in /tmp named after the lock.
bool PrevInstance(const std::string& programa);

// The same with the lock in a given folder (tests).
bool PrevInstanceIn(const std::string& carpeta, const std::string& programa);

// Gives the lock up (tests; the run's lock is given up at the end anyway).
void ReleaseInstance(const std::string& programa);

}  // namespace ui
