#include "workbench/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "temp_folder.h"
#include "workbench/settings_path.h"

namespace korvane::workbench {
namespace {

const char* const kFullFile =
    "[main]\nx=10\ny=20\nwidth=800\nheight=600\nlog_height=200\n"
    "[debug]\nx=1\ny=2\n[rack]\nx=3\ny=4\n[terminal]\nx=5\ny=6\n"
    "[recent]\nMRU1=/a.kvs\nMRU2=/b.kvs\n"
    "[menu bar]\nstyle=docked\nrow=2\npos=7\n"
    "[toolbar]\nstyle=floating\nrow=9\npos=9\nx=100\ny=100\n"
    "[recent bar]\nstyle=docked\nrow=3\npos=40\n"
    "[ports]\ncom3=/dev/ttyUSB0\ncom1=/dev/ttyS0\n"
    "[view]\ntheme=dark\n[breakpoints]\n/s/a b.kvs=3,1\n/s/c.kvs=12\n";

TSettings FullSettings() {
    TSettings s;
    s.mainPosition = {10, 20};
    s.mainWidth = 800;
    s.mainHeight = 600;
    s.logHeight = 200;
    s.debugPosition = {1, 2};
    s.rackPosition = {3, 4};
    s.terminalPosition = {5, 6};
    s.recentFiles = {"/a.kvs", "/b.kvs"};
    s.menuBar = {TBarStyle::Docked, 2, 7, {}};
    s.toolbar = {TBarStyle::Floating, 1, 0, {}};  // row and pos of a floating bar are not read
    s.recentBar = {TBarStyle::Docked, 3, 40, {}};
    s.ports = {{"com3", "/dev/ttyUSB0"}, {"com1", "/dev/ttyS0"}};
    s.theme = "dark";
    s.breakpoints = {{"/s/a b.kvs", {2, 0}}, {"/s/c.kvs", {11}}};
    return s;
}

TEST(Settings, ReadsEveryKey) { EXPECT_EQ(ParseSettings(kFullFile), FullSettings()); }

TEST(Settings, MissingOrEmptyFileGivesDefaults) {
    EXPECT_EQ(ParseSettings(""), TSettings{});
    testing::TTempFolder folder;
    EXPECT_EQ(LoadSettings(folder.Path() / "none.ini"), TSettings{});
    const TSettings defaults;
    EXPECT_EQ(defaults.mainWidth, 544);
    EXPECT_EQ(defaults.mainHeight, 374);
    EXPECT_EQ(defaults.logHeight, 160);
    EXPECT_EQ(defaults.recentBar.row, 1);
    EXPECT_EQ(defaults.recentBar.pos, 153);
    // Windows never placed have no position yet, and none is written for them.
    EXPECT_EQ(defaults.terminalPosition, std::nullopt);
    const std::string written = MergeSettings("", defaults);
    EXPECT_EQ(written.find("[rack]"), std::string::npos) << written;
    EXPECT_EQ(ParseSettings("[terminal]\ny=0\n").terminalPosition, (TPosition{0, 0}));
}

TEST(Settings, ASettingsFileThatIsNoRegularFileCountsAsMissing) {
    testing::TTempFolder folder;
    const auto path = folder.Path() / "korvane.ini";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(LoadSettings(path), TSettings{});
    // Nor is it replaced at exit: it is not ours.
    EXPECT_FALSE(SaveSettings(path, FullSettings()));
    EXPECT_TRUE(std::filesystem::is_fifo(path));
}

// Replaces one "key=value" line of the full file.
std::string WithValue(std::string_view section, std::string_view key, std::string_view value) {
    std::string text(kFullFile);
    const std::size_t sectionAt = text.find("[" + std::string(section) + "]");
    const std::size_t keyAt = text.find("\n" + std::string(key) + "=", sectionAt) + 1;
    const std::size_t lineEnd = text.find('\n', keyAt);
    text.replace(keyAt, lineEnd - keyAt, std::string(key) + "=" + std::string(value));
    return text;
}

TEST(Settings, FirstFailingValueEndsTheReading) {
    struct TCase {
        const char* what;
        std::string text;
        void (*expect)(const TSettings& read, const TSettings& full);
    };
    const std::vector<TCase> cases = {
        {"main width", WithValue("main", "width", "abc"),
         [](const TSettings& r, const TSettings& f) {
             EXPECT_EQ(r.mainPosition, f.mainPosition) << "read before the failure";
             EXPECT_EQ(r.mainWidth, 544);
             EXPECT_EQ(r.mainHeight, 374);
             EXPECT_EQ(r.logHeight, 160);
             EXPECT_TRUE(r.recentFiles.empty());
             EXPECT_EQ(r.menuBar, TSettings{}.menuBar);
             EXPECT_EQ(r.toolbar, TSettings{}.toolbar);
         }},
        {"debug y comes before debug x", WithValue("debug", "y", "1.5"),
         [](const TSettings& r, const TSettings&) {
             EXPECT_EQ(r.debugPosition, TPosition{});
             EXPECT_EQ(r.rackPosition, std::nullopt);
         }},
        {"rack y comes before rack x", WithValue("rack", "x", "x"),
         [](const TSettings& r, const TSettings&) {
             EXPECT_EQ(r.rackPosition, (TPosition{0, 4}));
             EXPECT_EQ(r.terminalPosition, std::nullopt);
         }},
        {"terminal x comes before terminal y", WithValue("terminal", "y", ""),
         [](const TSettings& r, const TSettings&) {
             EXPECT_EQ(r.terminalPosition, (TPosition{5, 0}));
             EXPECT_TRUE(r.recentFiles.empty());
         }},
        {"bar row", WithValue("menu bar", "row", "2x"),
         [](const TSettings& r, const TSettings& f) {
             EXPECT_EQ(r.recentFiles, f.recentFiles);
             EXPECT_EQ(r.menuBar, TSettings{}.menuBar);
             EXPECT_EQ(r.recentBar, TSettings{}.recentBar);
         }},
        {"number out of range", WithValue("recent bar", "pos", "99999999999"),
         [](const TSettings& r, const TSettings& f) {
             EXPECT_EQ(r.menuBar, f.menuBar);
             EXPECT_EQ(r.recentBar.pos, 153);
             EXPECT_EQ(r.ports, f.ports) << "the port map is not ours to stop";
         }},
    };
    const TSettings full = FullSettings();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.expect(ParseSettings(c.text), full);
    }
}

TEST(Settings, IntegerForms) {
    const std::vector<std::pair<std::string_view, int>> good = {
        {"+5", 5}, {"-3", -3}, {" 7 ", 7}, {"007", 7}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : good) {
        EXPECT_EQ(ParseSettings(WithValue("main", "width", text)).mainWidth, value) << text;
    }
    for (std::string_view text : {"", "+", "-", "+-3", "++3", "0x10", "1e3", "2147483648", "5 5"}) {
        const TSettings read = ParseSettings(WithValue("main", "width", text));
        EXPECT_EQ(read.mainWidth, 544) << text;
        EXPECT_EQ(read.logHeight, 160) << text;
    }
}

TEST(Settings, GarbageGivesDefaults) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 37) & 0xFF));
    const std::vector<std::string> inputs = {binary, std::string(100000, '['),
                                             "width=800\nheight=600\n", "[main\nwidth=800\n",
                                             "[main]\nwidth\n=800\n"};
    for (const std::string& input : inputs) {
        EXPECT_EQ(ParseSettings(input).mainWidth, 544) << input.substr(0, 20);
    }
}

TEST(Settings, MissingKeysKeepDefaultsAndReadingGoesOn) {
    const TSettings read =
        ParseSettings("[main]\nheight=400\n[recent]\nMRU1=a\nMRU2=\nMRU4=d\n[toolbar]\npos=5\n");
    EXPECT_EQ(read.mainWidth, 544);
    EXPECT_EQ(read.mainHeight, 400);
    EXPECT_EQ(read.recentFiles, (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(read.toolbar, (TBarPlacement{TBarStyle::Docked, 1, 5, {}}));
}

TEST(Settings, RoundTripThroughTheFile) {
    testing::TTempFolder folder;
    const auto path = folder.Path() / "config" / "korvane.ini";
    TSettings settings = FullSettings();
    settings.toolbar = {TBarStyle::Docked, 4, 12, {}};
    settings.recentFiles = {"/x/a b.kvs", "c.kvs", "d.kvs", "e.kvs", "f.kvs"};
    ASSERT_TRUE(SaveSettings(path, settings));
    EXPECT_EQ(LoadSettings(path), settings);
}

TEST(Settings, WritesSectionNamesAsTheyAreAndKeepsOtherKeys) {
    TSettings settings;
    settings.menuBar = {TBarStyle::Floating, 0, 0, {30, 40}};
    settings.recentFiles = {"one.kvs"};
    const std::string text = MergeSettings(
        "[recent]\nMRU1=old\nMRU3=stale\n[ports]\ncom2=/dev/pts/3\n[other]\nkeep=me\n", settings);
    for (const char* line : {"[menu bar]", "[recent bar]", "style=floating", "x=30", "y=40",
                             "MRU1=one.kvs", "com2=/dev/pts/3", "[other]", "keep=me"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(text.find("MRU3"), std::string::npos) << "slots past the list are deleted";
    const TSettings read = ParseSettings(text);
    EXPECT_EQ(read.menuBar.style, TBarStyle::Floating);
    EXPECT_EQ(read.menuBar.floating, TPosition{}) << "a floating position is never read";
    EXPECT_EQ(read.ports,
              (std::vector<std::pair<std::string, std::string>>{{"com2", "/dev/pts/3"}}));
}

TEST(Settings, BreakpointsAreKeptPerFileAndOddEntriesAreDropped) {
    TSettings settings;
    KeepBreakpoints(settings, "/a.kvs", {4});
    KeepBreakpoints(settings, "/b.kvs", {1, 2});
    KeepBreakpoints(settings, "/a.kvs", {5, 9});  // the file used last goes to the end
    EXPECT_EQ(settings.breakpoints,
              (std::vector<std::pair<std::string, std::vector<int>>>{{"/b.kvs", {1, 2}},
                                                                      {"/a.kvs", {5, 9}}}));
    KeepBreakpoints(settings, "/b.kvs", {});
    EXPECT_EQ(settings.breakpoints.size(), 1u);
    for (int i = 0; i < 60; ++i) KeepBreakpoints(settings, "/f" + std::to_string(i), {0});
    EXPECT_EQ(settings.breakpoints.size(), kMaxBreakpointFiles);
    EXPECT_EQ(settings.breakpoints.back().first, "/f59");

    // Keys the file format cannot hold are not written; numbers that are no line are skipped.
    TSettings odd;
    odd.breakpoints = {{"/x=y.kvs", {1}}, {";c.kvs", {1}}, {"/ok.kvs", {0}}};
    const TSettings read = ParseSettings(
        MergeSettings("", odd) + "[breakpoints]\n/z.kvs=0,x,-3,,7\n[view]\ntheme=purple\n");
    EXPECT_EQ(read.breakpoints, (std::vector<std::pair<std::string, std::vector<int>>>{
                                    {"/ok.kvs", {0}}, {"/z.kvs", {6}}}));
    EXPECT_EQ(read.theme, "system");
}

TEST(Settings, RecentListMovesRepeatsUpAndKeepsFive) {
    std::vector<std::string> recent;
    for (const char* file : {"a", "b", "c", "d", "e"}) AddRecentFile(recent, file);
    EXPECT_EQ(recent, (std::vector<std::string>{"e", "d", "c", "b", "a"}));
    AddRecentFile(recent, "c");
    EXPECT_EQ(recent, (std::vector<std::string>{"c", "e", "d", "b", "a"}));
    AddRecentFile(recent, "f");
    EXPECT_EQ(recent, (std::vector<std::string>{"f", "c", "e", "d", "b"}));
}

TEST(SettingsPath, BesideTheProgramOrTheUserConfigFolder) {
    struct TCase {
        bool writable;
        std::string_view xdg;
        std::string_view home;
        std::filesystem::path expected;
    };
    const std::vector<TCase> cases = {
        {true, "/cfg", "/home/u", "prog/korvane.ini"},
        {false, "/cfg", "/home/u", "/cfg/korvane/korvane.ini"},
        {false, "", "/home/u", "/home/u/.config/korvane/korvane.ini"},
        {false, "relative", "/home/u", "/home/u/.config/korvane/korvane.ini"},
        {false, "", "", "prog/korvane.ini"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ChooseSettingsPath("prog", c.writable, c.xdg, c.home), c.expected) << c.xdg;
    }
}

}  // namespace
}  // namespace korvane::workbench
