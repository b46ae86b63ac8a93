#include "mainwindow/constant_history.h"

#include "common/number_text.h"

#include <algorithm>

namespace nimbra {

bool AddConstantToHistory(std::vector<std::string>& items, const std::string& text)
{
    if (text.empty()) return false;
    std::string item = PointToComma(text);
    if (std::find(items.begin(), items.end(), item) != items.end()) return false;
    items.push_back(std::move(item));
    return true;
}

}  // namespace nimbra
