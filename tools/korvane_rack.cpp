// korvane-rack: converts rack files to the textual form notation and back, so racks can be
// written, reviewed and diffed as text. The notation is described in racks/form_text.h.
//
//   korvane-rack totext RACK OUT.txt
//   korvane-rack tobin IN.txt RACK
//
// tobin refuses control classes a rack may not hold. Exit status: 0 done, 1 the conversion
// failed, 2 wrong usage; every failure is explained on standard error. --help and --version
// answer on standard output.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "racks/form_text.h"
#include "racks/rack_file.h"
#include "racks/registered_classes.h"
#include "tools/broken_pipe.h"
#include "tools/command_line.h"

namespace {

using korvane::racks::TFormObject;
using korvane::racks::TResult;
using korvane::racks::TStatus;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr korvane::tools::TProgramText kProgram = {
    "korvane-rack",
    "usage: korvane-rack totext RACK OUT.txt\n"
    "       korvane-rack tobin IN.txt RACK\n",
    "Converts a Korvane rack file to its text form (totext) and back (tobin), so racks can be\n"
    "written, reviewed and diffed as text.\n"
    "  --help     show this help\n"
    "  --version  show the version\n"
    "Exit status: 0 done, 1 the conversion failed, 2 wrong usage.\n"};

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
    korvane::tools::IgnoreBrokenPipes();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (auto answered = korvane::tools::AnswerStandardOption(arguments, kProgram, std::cout)) {
        return *answered;
    }
    if (arguments.size() == 3) {
        if (arguments[0] == "totext") return ToText(argv[2], argv[3]);
        if (arguments[0] == "tobin") return ToBinary(argv[2], argv[3]);
    }
    return korvane::tools::UsageError(kProgram, std::cerr);
}
