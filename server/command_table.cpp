#include "command_table.h"

#include "version.h"

namespace dravo {

CommandTable::CommandTable(CommandEnv env) : env_(env) { add_commands(); }

bool CommandTable::run(const std::string& path, const QueryMap& query,
                       const SendText& send_text) {
    auto found = commands_.find(path);
    if (found == commands_.end()) return false;
    found->second(query, send_text);
    return true;
}

void CommandTable::add_commands() {
    commands_["/version"] = [](const QueryMap&, const SendText& send) { send(kVersionText); };
}

}  // namespace dravo
