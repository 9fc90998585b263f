// The class table and the default pairs, with the kit's kinds installed on first use.
#include "settings/form/form_cell_class.h"

#include <mutex>

void formRegisterDefaultKinds();

namespace {
struct Tables {
    std::map<std::string, FormCellClass> classes;
    std::vector<std::pair<std::string, std::string>> pairs;
};
Tables& tables() {
    static Tables t;
    return t;
}
void ensureDefaults() {
    static std::once_flag once;
    std::call_once(once, formRegisterDefaultKinds);
}
}  // namespace

void FormCellClasses::add(FormCellClass cellClass) {
    auto name = cellClass.name;
    tables().classes[name] = std::move(cellClass);
}

const FormCellClass* FormCellClasses::named(const std::string& name) {
    ensureDefaults();
    auto it = tables().classes.find(name);
    return it == tables().classes.end() ? nullptr : &it->second;
}

void FormCellClasses::addDefaultPair(std::string itemClass, std::string cellClass) {
    auto& pairs = tables().pairs;
    std::erase_if(pairs, [&](const auto& p) { return p.first == itemClass; });
    pairs.emplace_back(std::move(itemClass), std::move(cellClass));
}

const std::vector<std::pair<std::string, std::string>>& FormCellClasses::defaultPairs() {
    ensureDefaults();
    return tables().pairs;
}
