#include "cli/CliCommands.h"

const CliCommandInfo ConfigCliCommands[] = {{nullptr, nullptr, nullptr, nullptr}};
