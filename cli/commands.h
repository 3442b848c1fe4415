// The verbs of velmoractl. Each takes the arguments after its own words and returns the
// process exit code.
#pragma once

#include "cli/cli_support.h"

namespace velmoractl {

int unitsCommand(Args args);
int coeffGetCommand(Args args);
int coeffSetCommand(Args args);
int statusCommand(Args args);
int rateCommand(Args args);
int syncCommand(Args args);
int nameCommand(Args args);
int adatCommand(Args args);
int ac3Command(Args args);
int standaloneCommand(Args args);
int monitoringCommand(Args args);
int storeCommand(Args args);
int firmwareInfoCommand(Args args);
int firmwareCheckCommand(Args args);
int firmwareUpdateCommand(Args args);
int firmwareHistoryCommand(Args args);
int paramListCommand(Args args);
int paramGetCommand(Args args);
int paramSetCommand(Args args);
int mixSaveCommand(Args args);
int mixLoadCommand(Args args);
int panelRenderCommand(Args args);

}  // namespace velmoractl
