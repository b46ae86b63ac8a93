#pragma once
#include <string>
#include <vector>

namespace nimbra {

// Appends the text with every "." turned into "," unless the text is empty or the list
// already holds exactly that item. True when an item was appended.
bool AddConstantToHistory(std::vector<std::string>& items, const std::string& text);

}  // namespace nimbra
