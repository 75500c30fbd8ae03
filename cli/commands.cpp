#include "commands.h"

namespace kistora::cli {

namespace {

const Command kCommands[] = {
    {"check", CmdCheck, "DIR", "load DIR/items.kdb and DIR/chars.kdb and report their load results"},
    {"dump", CmdDump, "DIR", "print the whole catalogue of DIR as one JSON object (UTF-8)"},
    {"resave", CmdResave, "DIR", "write both databases of DIR back with the program's own save code"},
    {"export", CmdExport, "DIR [--output FILE] [--now YYYY-MM-DDTHH:MM:SS]",
     "write the trading list of DIR as the program's export does"},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace kistora::cli
