// Feeds arbitrary text to expression and condition evaluation and, as a one-line script,
// through statement dispatch. Any crash, sanitizer report or hang is a finding.
#include <cstdint>
#include <string>

#include "engine/errors.h"
#include "recording_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    korvane::engine::testing::TEngineFixture fixture;
    try {
        auto run = fixture.Run("a = 1\ns = \"x,y\"");
        run->SetVariable("p", "(p)");
        run->EvaluateExpression(text);
        bool truth = false;
        run->EvaluateCondition(text, truth);
        // As a statement: only lines that cannot wait for input or loop for ever.
        if (text.find("while") == std::string::npos && text.find("repeat") == std::string::npos &&
            text.find('\n') == std::string::npos && text.find('\r') == std::string::npos) {
            fixture.Run(text);
        }
    } catch (const korvane::engine::EFatalError&) {
        // Fatal script errors are a normal outcome.
    }
    return 0;
}
