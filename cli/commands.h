// The verbs of velmoractl. Each takes the arguments after its own words and returns the
// process exit code.
#pragma once

#include "cli/cli_support.h"

namespace velmoractl {

int unitsCommand(Args args);
int coeffGetCommand(Args args);
int coeffSetCommand(Args args);

}  // namespace velmoractl
