// korvane-rack: converts rack files to the textual form notation and back, so racks can be
// written, reviewed and diffed as text. The notation is described in racks/form_text.h.
//
//   korvane-rack totext RACK OUT.txt
//   korvane-rack tobin IN.txt RACK
//
// tobin refuses control classes a rack may not hold. Exit status: 0 done, 1 the conversion
// failed, 2 wrong usage; every failure is explained on standard error.
#include <cstdio>
#include <string>
#include <string_view>

#include "racks/form_text.h"
#include "racks/rack_file.h"
#include "racks/registered_classes.h"

namespace {

using korvane::racks::TFormObject;
using korvane::racks::TResult;
using korvane::racks::TStatus;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr char kUsage[] =
    "usage: korvane-rack totext RACK OUT.txt\n"
    "       korvane-rack tobin IN.txt RACK\n";

int Report(const std::string& message) {
    std::fprintf(stderr, "korvane-rack: %s\n", message.c_str());
    return kExitFailed;
}

int ToText(const char* rackPath, const char* textPath) {
    TResult<TFormObject> root = korvane::racks::LoadRackFile(rackPath);
    if (!root) return Report(root.Error());
    TResult<std::string> text = korvane::racks::FormToText(root.Value());
    if (!text) return Report(std::string(rackPath) + ": " + text.Error());
    TStatus written = korvane::racks::WriteFileBytes(textPath, text.Value());
    return written ? kExitOk : Report(written.Error());
}

int ToBinary(const char* textPath, const char* rackPath) {
    TResult<std::string> text =
        korvane::racks::ReadFileBytes(textPath, korvane::racks::kMaxRackFileSize);
    if (!text) return Report(text.Error());
    TResult<TFormObject> root = korvane::racks::FormFromText(text.Value());
    if (!root) return Report(std::string(textPath) + ": " + root.Error());
    if (TStatus classes = korvane::racks::CheckRegisteredClasses(root.Value()); !classes) {
        return Report(std::string(textPath) + ": " + classes.Error());
    }
    TStatus saved = korvane::racks::SaveRackFile(rackPath, root.Value());
    return saved ? kExitOk : Report(saved.Error());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4) {
        const std::string_view command = argv[1];
        if (command == "totext") return ToText(argv[2], argv[3]);
        if (command == "tobin") return ToBinary(argv[2], argv[3]);
    }
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
