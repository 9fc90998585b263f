// CNContact: a stand-in for an address-book contact record, holding the fields the application
// reads (name parts, nickname, organisation and department). A missing name part is empty; the
// organisation and department tell a missing field (none) from an empty one.
#pragma once

#include <optional>
#include <string>

struct CNContact {
    std::string namePrefix;
    std::string givenName;
    std::string middleName;
    std::string familyName;
    std::string nameSuffix;
    std::string nickname;
    std::optional<std::string> organizationName;
    std::optional<std::string> departmentName;
};
