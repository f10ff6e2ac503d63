#include "racks/registered_classes.h"

#include <algorithm>
#include <string>

namespace korvane::racks {

bool IsRegisteredClass(std::string_view className) {
    return std::find(kRegisteredClasses.begin(), kRegisteredClasses.end(), className) !=
           kRegisteredClasses.end();
}

TStatus CheckRegisteredClasses(const TFormObject& root) {
    for (const TFormObject& child : root.children) {
        if (!IsRegisteredClass(child.className)) {
            return TStatus::Failure("unregistered control class " + child.className + " (object " +
                                    child.objectName + ")");
        }
        if (TStatus nested = CheckRegisteredClasses(child); !nested) return nested;
    }
    return {};
}

}  // namespace korvane::racks
