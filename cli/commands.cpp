#include "commands.h"

namespace kistora::cli {

namespace {

const Command kCommands[] = {
    {"check", CmdCheck, "DIR [--date YYYY-MM-DD]",
     "load DIR/items.kdb and DIR/chars.kdb (with --date, the backups items-DATE.kdb and\n"
     "          chars-DATE.kdb of a backups folder) and report their load results"},
    {"dump", CmdDump, "DIR", "print the whole catalogue of DIR as one JSON object (UTF-8)"},
    {"resave", CmdResave, "DIR",
     "write both databases of DIR back with the program's own save code (refused while\n"
     "          the program runs on DIR)"},
    {"export", CmdExport, "DIR [--output FILE] [--now YYYY-MM-DDTHH:MM:SS]",
     "write the trading list of DIR as the program's export does"},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

}  // namespace kistora::cli
