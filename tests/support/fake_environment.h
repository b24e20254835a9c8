#pragma once
// An environment of the test's own for code that reads variables through an EnvironmentLookup.
#include <map>
#include <optional>
#include <string>

#include "installed_layout.h"

namespace dravo::test {

inline EnvironmentLookup environment_of(std::map<std::string, std::string> variables) {
    return [variables](const std::string& name) -> std::optional<std::string> {
        auto it = variables.find(name);
        if (it == variables.end()) {
            return std::nullopt;
        }
        return it->second;
    };
}

}  // namespace dravo::test
