#include "cli/CliCommands.h"

const CliCommandInfo ImageCliCommands[] = {{nullptr, nullptr, nullptr, nullptr}};
