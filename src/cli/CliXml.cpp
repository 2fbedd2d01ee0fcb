#include "cli/CliCommands.h"

const CliCommandInfo XmlCliCommands[] = {{nullptr, nullptr, nullptr, nullptr}};
