// Names and texts in the forms the generated files want them.
#pragma once

#include <string>

// "whole-multiples" as an identifier: "wholeMultiples".
inline std::string CamelCase(const std::string& name) {
    std::string id;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '-' && i + 1 < name.size()) {
            id += char(name[++i] - 'a' + 'A');
        } else {
            id += name[i];
        }
    }
    return id;
}
