// The log every unattended run keeps, whatever /log says, in a fixed folder
// under the common application data folder that only administrators may
// write (a deployment tool that runs the wizard without a log of its own,
// or deletes it, leaves this one): <common application data>\Varn\PRN WIZARD.
#pragma once

#include <string>

#include "platform/files.h"

namespace app {

inline constexpr char kKeptLogFolder[] = "Varn\\PRN WIZARD";
inline constexpr char kKeptLogName[] = "PrnWizard.log";
// The run before's log, kept beside it.
inline constexpr char kPreviousLogName[] = "PrnWizard.previous.log";

// The kept log's path, its folders made where missing with permissions for
// SYSTEM and the Administrators only.  Empty when it cannot be kept, `why`
// saying why: among others, when another account may write to one of its
// folders, which a log written there as SYSTEM would trust.
std::string keptLogPath(platform::Files& files, std::string& why);

// Copies the kept log at `path` to kPreviousLogName beside it, before the
// run that holds the single-instance guard starts it anew.  Only that run
// does: another may still be writing it.
void moveKeptLogAside(platform::Files& files, const std::string& path);

}  // namespace app
