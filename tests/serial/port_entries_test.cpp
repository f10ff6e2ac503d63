#include "serial/port_entries.h"

#include <gtest/gtest.h>

#include <fstream>

namespace korvane::serial {
namespace {

TEST(PortEntries, TakesThePortsSectionOnly) {
    const struct {
        const char* name;
        const char* text;
        TPortEntries entries;
    } cases[] = {
        {"plain",
         "[ports]\ncom3=/dev/ttyUSB0\ncom9 = loop\n",
         {{"com3", "/dev/ttyUSB0"}, {"com9", "loop"}}},
        {"other sections around it",
         "[main]\nx=1\n[Ports]\r\ncom1=pty\r\n[terminal]\nx=5\n[ports]\ncom2=/dev/ttyS0",
         {{"com1", "pty"}, {"com2", "/dev/ttyS0"}}},
        {"comments, blanks and stray lines",
         "[ports]\n; a comment\n# another\n\njunk\ncom4=\n",
         {{"com4", ""}}},
        {"values keep their own = signs",
         "[ports]\ncom5=/dev/serial/by-id/a=b\n",
         {{"com5", "/dev/serial/by-id/a=b"}}},
        {"no section", "com1=loop\n", {}},
        {"section header with blanks", "[ ports ]\ncom6=loop", {{"com6", "loop"}}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParsePortSection(c.text), c.entries) << c.name;
    }
}

TEST(PortEntries, AMissingFileHasNoEntries) {
    EXPECT_TRUE(LoadPortEntries("no/such/korvane.ini").empty());
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "korvane_port_entries_test.ini";
    std::ofstream(file) << "[ports]\ncom7=loop\n";
    EXPECT_EQ(LoadPortEntries(file), (TPortEntries{{"com7", "loop"}}));
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace korvane::serial
