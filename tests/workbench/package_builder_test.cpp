#include "workbench/package_builder.h"
#include "workbench/package_warnings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_executable.h"
#include "workbench/payload_layout.h"
#include "workbench/payload_reader.h"
#include "workbench/ucrypt.h"

namespace korvane::workbench {
namespace {

const std::string kProgram = "prog/korvane";
const std::string kTerminal = "prog/terminal.res";

// Files, rack validation and the log pane of one Build, all in memory.
class TFakeWorld {
 public:
    TFakeWorld() {
        files[kProgram] = testing::FakeExecutable();
        files[kTerminal] = "terminal layout";
    }

    TBuildEnvironment Environment() {
        TBuildEnvironment environment;
        environment.log = [this](std::string_view line) { log.emplace_back(line); };
        environment.fileExists = [this](const std::string& path) { return files.count(path) > 0; };
        environment.readFile = [this](const std::filesystem::path& path, std::size_t maxBytes) {
            TReadResult result;
            const auto found = files.find(path.string());
            if (found == files.end() || unreadable.count(path.string()) > 0) return result;
            if (found->second.size() > maxBytes) {
                result.status = TReadStatus::TooLarge;
                return result;
            }
            result.status = TReadStatus::Ok;
            result.bytes = found->second;
            return result;
        };
        environment.validateRack = [this](const std::string& path) {
            return invalidRacks.count(path) == 0;
        };
        return environment;
    }

    std::optional<std::string> Build(std::string_view script,
                                     std::filesystem::path terminalLayout = {}) {
        return BuildPackage({kProgram, script, {}, std::move(terminalLayout)}, Environment());
    }

    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::set<std::string> invalidRacks;
    std::vector<std::string> log;
};

TPayloadReading ReadBuilt(const std::string& executable) {
    return ReadPayload(testing::SpaceOf(executable));
}

std::vector<std::string> RackNames(const TPayloadReading& reading) {
    std::vector<std::string> names;
    for (const TRackFile& rack : reading.payload.racks) names.push_back(rack.name);
    return names;
}

TEST(PackageBuilder, BuildsScriptAndRacksWithEveryLogLine) {
    TFakeWorld world;
    world.files["racks/a.res"] = "rack a";
    world.files["b.res"] = "rack b";
    const std::string script = "x = 1\r\n  openrack(\"racks/a.res\")\r\nopenrack ( \"b.res\" )";
    const auto built = world.Build(script);
    ASSERT_TRUE(built.has_value());
    const std::vector<std::string> expectedLog = {"Building",
                                                  "Adding header",
                                                  "Adding script",
                                                  "Adding racks",
                                                  "Adding terminal.res (required)",
                                                  "Found rack racks/a.res",
                                                  "Found rack b.res",
                                                  "Done"};
    EXPECT_EQ(world.log, expectedLog);
    EXPECT_EQ(built->size(), world.files[kProgram].size());

    const TPayloadReading reading = ReadBuilt(*built);
    ASSERT_EQ(reading.status, TPayloadStatus::Valid) << reading.problem;
    EXPECT_EQ(RackNames(reading), (std::vector<std::string>{"terminal.res", "a.res", "b.res"}));
    EXPECT_EQ(reading.payload.racks[0].bytes, "terminal layout");
    EXPECT_EQ(reading.payload.racks[1].bytes, "rack a");
    EXPECT_EQ(reading.payload.scrambledScript, Scramble(script, ScriptKey()));
}

// An installed program keeps terminal.res in its data folder and names it.
TEST(PackageBuilder, PackagesTheTerminalLayoutItIsGiven) {
    TFakeWorld world;
    world.files.erase(kTerminal);
    world.files["share/korvane/terminal.res"] = "installed layout";
    world.files["a.res"] = "rack a";
    const auto built = world.Build("openrack(\"a.res\")", "share/korvane/terminal.res");
    ASSERT_TRUE(built.has_value()) << world.log.back();
    const TPayloadReading reading = ReadBuilt(*built);
    ASSERT_EQ(reading.status, TPayloadStatus::Valid) << reading.problem;
    EXPECT_EQ(reading.payload.racks[0].bytes, "installed layout");
}

TEST(PackageBuilder, FailuresEndWithTheirText) {
    struct TCase {
        const char* what;
        std::string script;
        void (*prepare)(TFakeWorld&);
        std::string failure;
    };
    const std::string longName(44, 'n');
    const std::vector<TCase> cases = {
        {"no openrack line", "x = 1", [](TFakeWorld&) {}, "Sorry, no racks found !"},
        {"terminal.res missing", "openrack(\"a.res\")",
         [](TFakeWorld& w) { w.files.erase(kTerminal); },
         "Rack file not valid (bad format or not in the Korvane folder) terminal.res" +
             std::string(31, ' ')},
        {"terminal.res holds the record end", "openrack(\"a.res\")",
         [](TFakeWorld& w) { w.files[kTerminal] = "x[racke]"; },
         "Rack file not valid (bad format or not in the Korvane folder) terminal.res" +
             std::string(31, ' ')},
        {"rack missing", "openrack(\"a.res\")\r\nopenrack(\"gone.res\")",
         [](TFakeWorld& w) { w.files["a.res"] = "a"; }, "Rack file not found gone.res"},
        {"variable argument", "openrack(myrack)", [](TFakeWorld&) {}, "Rack file not found yrac"},
        {"rack unreadable", "openrack(\"a.res\")\r\nopenrack(\"b.res\")",
         [](TFakeWorld& w) {
             w.files["a.res"] = "a";
             w.files["b.res"] = "b";
             w.unreadable.insert("a.res");
         },
         "Rack file not valid a.res"},
        {"rack holds the record end", "openrack(\"a.res\")",
         [](TFakeWorld& w) { w.files["a.res"] = "[racke]"; }, "Rack file not valid a.res"},
        {"name wider than its field", "openrack(\"" + longName + "\")",
         [](TFakeWorld& w) { w.files[std::string(44, 'n')] = "a"; },
         "Rack file not valid " + longName},
        {"only rack fails validation", "openrack(\"a.res\")",
         [](TFakeWorld& w) {
             w.files["a.res"] = "a";
             w.invalidRacks.insert("a.res");
         },
         "Sorry, no racks found !"},
        {"rack larger than the area", "openrack(\"a.res\")",
         [](TFakeWorld& w) { w.files["a.res"] = std::string(kPayloadSpaceSize + 1, 'a'); },
         "Sorry, code and racks size to big !"},
        {"program without area", "openrack(\"a.res\")",
         [](TFakeWorld& w) {
             w.files["a.res"] = "a";
             w.files[kProgram] = "plain program";
         },
         "Program file has no payload area"},
        {"script that scrambles to its closing tag", Scramble("[scripte]", ScriptKey()),
         [](TFakeWorld&) {}, "Script cannot be packaged"},
        {"program unreadable", "openrack(\"a.res\")",
         [](TFakeWorld& w) { w.files.erase(kProgram); }, "Program file not readable prog/korvane"},
    };
    for (const TCase& c : cases) {
        TFakeWorld world;
        c.prepare(world);
        EXPECT_FALSE(world.Build(c.script).has_value()) << c.what;
        ASSERT_GE(world.log.size(), 2u) << c.what;
        EXPECT_EQ(world.log[world.log.size() - 2], "Error building:") << c.what;
        EXPECT_EQ(world.log.back(), c.failure) << c.what;
    }
}

TEST(PackageBuilder, InvalidRackIsLoggedAndLeftOut) {
    TFakeWorld world;
    world.files["bad.res"] = "bad";
    world.files["good.res"] = "good";
    world.invalidRacks.insert("bad.res");
    const auto built = world.Build("openrack(\"bad.res\")\r\nopenrack(\"good.res\")");
    ASSERT_TRUE(built.has_value());
    EXPECT_EQ(world.log[5], "Found rack bad.res");
    EXPECT_EQ(world.log[6], "Rack file not valid bad.res");
    EXPECT_EQ(RackNames(ReadBuilt(*built)), (std::vector<std::string>{"terminal.res", "good.res"}));
}

TEST(PackageBuilder, PackagesEachFileNameOnce) {
    struct TCase {
        const char* what;
        std::string script;
        std::vector<std::string> names;
        std::string firstRackBytes;
    };
    const std::vector<TCase> cases = {
        {"same line twice",
         "openrack(\"one/a.res\")\r\nopenrack(\"one/a.res\")",
         {"terminal.res", "a.res"},
         "one"},
        {"same name in two folders",
         "openrack(\"two/a.res\")\r\nopenrack(\"one/a.res\")",
         {"terminal.res", "a.res"},
         "two"},
        {"terminal.res named again",
         "openrack(\"one/a.res\")\r\nopenrack(\"one/terminal.res\")",
         {"terminal.res", "a.res"},
         "one"},
        // A name that is only part of a packaged name is a different rack and goes in too.
        {"name inside another name",
         "openrack(\"pds1.res\")\r\nopenrack(\"1.res\")",
         {"terminal.res", "pds1.res", "1.res"},
         "pds1"},
    };
    for (const TCase& c : cases) {
        TFakeWorld world;
        world.files["one/a.res"] = "one";
        world.files["two/a.res"] = "two";
        world.files["one/terminal.res"] = "other terminal";
        world.files["pds1.res"] = "pds1";
        world.files["1.res"] = "1";
        const auto built = world.Build(c.script);
        ASSERT_TRUE(built.has_value()) << c.what;
        const TPayloadReading reading = ReadBuilt(*built);
        EXPECT_EQ(RackNames(reading), c.names) << c.what;
        EXPECT_EQ(reading.payload.racks[1].bytes, c.firstRackBytes) << c.what;
        EXPECT_EQ(reading.payload.racks[0].bytes, "terminal layout") << c.what;
    }
}

// A script that opens its rack by bare name and falls back to another folder, like the shipped
// demo, builds from the script's folder, from the folder above it and from anywhere else.
TEST(PackageBuilder, RackBesideTheScriptAndFallbackLines) {
    const std::string script = "openrack(\"demo.res\")\r\nopenrack(\"examples/demo.res\")";
    const std::string beside = "/home/u/examples/demo.res";
    // The names the one rack file has, seen from the current folder.
    const std::vector<std::vector<std::string>> seen = {
        {"demo.res", beside}, {"examples/demo.res", beside}, {beside}};
    for (const std::vector<std::string>& names : seen) {
        TFakeWorld world;
        for (const std::string& name : names) world.files[name] = "demo";
        const auto built =
            BuildPackage({kProgram, script, "/home/u/examples"}, world.Environment());
        ASSERT_TRUE(built.has_value()) << names[0] << ": " << world.log.back();
        EXPECT_EQ(world.log[5], "Found rack demo.res") << names[0];
        EXPECT_EQ(RackNames(ReadBuilt(*built)), (std::vector<std::string>{"terminal.res", "demo.res"}));
    }
    // Without a script folder only the current folder counts, and an absolute path is not
    // looked for beside the script.
    TFakeWorld world;
    world.files["/home/u/examples/demo.res"] = "demo";
    EXPECT_FALSE(world.Build(script).has_value());
    EXPECT_EQ(world.log.back(), "Rack file not found demo.res");
    world.log.clear();
    EXPECT_FALSE(
        BuildPackage({kProgram, "openrack(\"/x/demo.res\")", "/home/u/examples"}, world.Environment()));
    EXPECT_EQ(world.log.back(), "Rack file not found /x/demo.res");
}

// The finished payload, "[embe]" included, must stay below 0x40000 bytes.
TEST(PackageBuilder, PayloadSizeBoundary) {
    TFakeWorld probe;
    probe.files["r.res"] = "";
    const auto small = probe.Build("openrack(\"r.res\")");
    ASSERT_TRUE(small.has_value());
    const std::string_view space = testing::SpaceOf(*small);
    const std::size_t overhead = space.find("[embe]") + 6;

    for (const std::size_t payloadSize : {kPayloadSpaceSize - 1, kPayloadSpaceSize}) {
        TFakeWorld world;
        world.files["r.res"] = std::string(payloadSize - overhead, 'r');
        const auto built = world.Build("openrack(\"r.res\")");
        if (payloadSize < kPayloadSpaceSize) {
            ASSERT_TRUE(built.has_value());
            EXPECT_EQ(testing::SpaceOf(*built).find("[embe]") + 6, payloadSize);
            EXPECT_EQ(ReadBuilt(*built).status, TPayloadStatus::Valid);
        } else {
            EXPECT_FALSE(built.has_value());
            EXPECT_EQ(world.log.back(), "Sorry, code and racks size to big !");
        }
    }
}

TEST(PackageBuilder, ListsOpenrackArguments) {
    struct TCase {
        std::string script;
        std::vector<std::string> paths;
    };
    const std::vector<TCase> cases = {
        {"openrack(\"a.res\")", {"a.res"}},
        {"  openrack ( \"a.res\" )  \r\n", {"a.res"}},
        {"openrack(\"a,b.res\")", {"a,b.res"}},
        {"openrack(\"f(1).res\")", {"f(1).res"}},
        {"openrack(\"a.res\", 2)", {"a.res"}},
        {"openrack(name)", {"am"}},
        {"openrack", {""}},
        {"openrack()", {""}},
        {"# openrack(\"x.res\")\r\nwritelog(\"openrack\")", {}},
        {"openrack(\"1.res\")\nx=1\r\nopenrack(\"2.res\")", {"1.res", "2.res"}},
    };
    for (const TCase& c : cases) EXPECT_EQ(ListOpenrackPaths(c.script), c.paths) << c.script;
}

TEST(PackagingWarnings, PathsBuildCannotCarryAreNamedWithTheirLine) {
    const auto exists = [](const std::string& path) {
        return path == "panel.res" || path == "/s/beside.bmp";
    };
    const char* script =
        "openrack(\"panel.res\")\r\n"
        "name = \"x.res\"\n"
        "openrack(name)\n"
        "  loadimage(Img1, \"beside.bmp\")\n"
        "loadimage(Img2, \"gone.bmp\")\n"
        "loadimage(Img3, dir + \"a.bmp\")\n"
        "openrack(\"missing.res\")\n"
        "# openrack(nothing)\n"
        "loadimage(Img4)\n"
        "openrack(\"elsewhere/panel.res\")\n";
    EXPECT_EQ(PackagingWarnings(script, "/s", exists),
              (std::vector<std::string>{
                  "Warning: line 3: openrack path name is not a literal text and cannot be packaged",
                  "Warning: line 4: image beside.bmp is not packaged: put it beside the program",
                  "Warning: line 5: file not found: gone.bmp",
                  "Warning: line 6: loadimage path dir + \"a.bmp\" is not a literal text and cannot "
                  "be packaged",
                  "Warning: line 7: file not found: missing.res"}));
}

}  // namespace
}  // namespace korvane::workbench
