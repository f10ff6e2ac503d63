#include "engine/check_blocks.h"

#include <gtest/gtest.h>

#include "engine/text_utils.h"

namespace korvane::engine {
namespace {

TEST(CheckBlocks, Reports) {
    struct Case {
        const char* script;
        const char* report;
    };
    const Case cases[] = {
        {"for (i, 1, 2, 1)\nif (a == 1)\nelse\nendif\nnext\nrepeat\nuntil (1 == 1)", ""},
        {"x = 1\ny = 2\nnext", "Error: unexpected next on line 3"},
        {"for (i, 1, 2, 1)\nx = 1", "\r\nError: unterminated block (for)"},
        {"while (1 == 1)\nx = 1\nendif",
         "Error: unexpected endif on line 3\r\nError: unterminated block (while)"},
        {"repeat\nx = \"until (\"", ""},
        {"x = \"until (\"", "Error: unexpected until on line 1"},
        {"procedure p\nprocend\nprocend", "Error: unexpected procend on line 3"},
        {"  wend", "Error: unexpected wend on line 1"},
        // The blank after the word is needed for a block to open.
        {"for(i, 1, 2, 1)\nx = 1", ""},
        {"procedure p\nwhile (1 == 1)", "\r\nError: unterminated block (while)"},
        // Variables named like block words are plain lines.
        {"for (i, 1, 2, 1)\nnextval = 1\nrepeats = 1\niffy = 1\nwhiled = 1\nnext\nendifx = 1\n"
         "wendy = 1\nprocendx = 1\nprocedures = 1",
         ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckBlocks(SplitLines(c.script)), c.report) << c.script;
}

}  // namespace
}  // namespace korvane::engine
