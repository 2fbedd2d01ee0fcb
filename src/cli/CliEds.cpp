#include "cli/CliCommands.h"

const CliCommandInfo EdsCliCommands[] = {{nullptr, nullptr, nullptr, nullptr}};
