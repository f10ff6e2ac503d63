#include "system_call.h"

#include <system_error>

namespace korvane::serial {

std::string SystemMessage(std::string_view what, int error) {
    std::string text(what);
    text += ": ";
    text += std::system_category().message(error);
    return text;
}

}  // namespace korvane::serial
