// What a user types into a rack's edit, drop-down and memo reaches the script as data: it
// never runs as script text and arrives byte for byte.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>

#include "host/dm.h"
#include "host/file_commands.h"
#include "racks/ui/control_widget.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

// The panel rack with the file commands bound and one file for the script to keep open: a
// payload that ran would write INJECTED into it.
struct TTypingPanel : TRackFixture {
    host::TDM dm;
    std::string victim = dir.File("victim.txt");

    TTypingPanel() {
        host::BindFileCommands(dispatch, dm);
        EXPECT_TRUE(rack->LoadRack(WriteRack(kPanelRack)).Ok());
        WriteBytes(victim, "");
    }
    template <typename TPart>
    TPart* Part(std::string_view control) {
        return rack->ControlWidget(IndexOf(control))->findChild<TPart*>();
    }
    // Reads every typed text in a script of its own and appends what it makes of them to the
    // victim file.
    std::unique_ptr<engine::TExecute> ReadTyped() {
        return Run("h = fopen(\"" + victim +
                   "\")\nfseek(0, 2)\nb = 7\nx = 1\na = edit1\nd = ddown_gettext(\"combo1\")\n"
                   "m = memo1\nw = fwrite(a & \"|\" & trim(a) & \"|\" & len(a) & \"|\" & "
                   "mid(d, 1, len(d)) & \"|\" & m & \"|\" & tohex(edit1) & \">\")\nfclose()");
    }
};

std::string Hex(const std::string& bytes) {
    std::string hex;
    for (unsigned char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%s%02X", hex.empty() ? "" : " ", c);
        hex += pair;
    }
    return hex;
}

std::string Trimmed(const std::string& bytes) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t from = 0, to = bytes.size();
    while (from < to && blank(bytes[from])) ++from;
    while (to > from && blank(bytes[to - 1])) --to;
    return bytes.substr(from, to - from);
}

// The script's fwrite twin, for an edit and a drop-down holding `typed` and a memo `memo`.
std::string Record(const std::string& typed, const std::string& memo) {
    return typed + "|" + Trimmed(typed) + "|" + std::to_string(typed.size()) + "|" + typed + "|" +
           memo + "|" + Hex(typed) + ">";
}

QString Latin1Text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

TEST(TypedText, InjectionAttemptsStayData) {
    const std::vector<std::string> payloads = {
        "bob\"&fwrite(\"INJECTED\")&\"",
        "\")&fwrite(\"INJECTED\")&(\"",
        "\")&inputbox(\"a\",\"b\",\"c\")&(\"",
        "\"&random(100)&\"",
        "OK(2 items)",
        "Temp: (23.5 C)",
        "a (b)",
        "(b)",
        ")",
        "\"",
        "x = 1",
        "len(\"abc\")",
    };
    TTypingPanel p;
    p.host.inputs = {"an answer nobody asked for"};
    const uint32_t seed = p.state.randomSeed;
    auto* edit = p.Part<QLineEdit>("edit1");
    auto* combo = p.Part<QComboBox>("combo1");
    auto* memo = p.Part<QPlainTextEdit>("memo1");
    ASSERT_TRUE(edit && combo && combo->lineEdit() && memo);
    std::string written;
    for (const std::string& payload : payloads) {
        SCOPED_TRACE(payload);
        // Typed as a user types, over what the field held.
        edit->selectAll();
        QTest::keyClicks(edit, Latin1Text(payload));
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), Latin1Text(payload));
        memo->selectAll();
        QTest::keyClicks(memo, Latin1Text(payload));
        ASSERT_EQ(p.Control("edit1").State().text, payload);
        auto run = p.ReadTyped();
        EXPECT_EQ(run->GetVariable("a"), payload);
        EXPECT_EQ(run->GetVariable("d"), payload);
        EXPECT_EQ(run->GetVariable("m"), payload);
        EXPECT_EQ(run->GetVariable("b"), "7");
        EXPECT_EQ(run->GetVariable("x"), "1");
        written += Record(payload, payload);
        EXPECT_EQ(ReadBytes(p.victim), written);
    }
    EXPECT_EQ(p.host.inputs.size(), 1u) << "no inputbox was shown";
    EXPECT_EQ(p.state.randomSeed, seed) << "random was not drawn";
}

TEST(TypedText, EveryByteValueArrivesExactly) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    TTypingPanel p;
    auto* edit = p.Part<QLineEdit>("edit1");
    auto* combo = p.Part<QComboBox>("combo1");
    ASSERT_TRUE(edit && combo && combo->lineEdit());
    // Pasted, as no keyboard types a zero byte.
    edit->selectAll();
    edit->insert(Latin1Text(all));
    combo->lineEdit()->selectAll();
    combo->lineEdit()->insert(Latin1Text(all));
    ASSERT_EQ(p.Control("edit1").State().text, all);
    ASSERT_EQ(p.Control("combo1").State().text, all);
    auto run = p.ReadTyped();
    EXPECT_EQ(run->GetVariable("a"), all);
    EXPECT_EQ(run->GetVariable("d"), all);
    EXPECT_EQ(ReadBytes(p.victim), Record(all, "one\r\ntwo\r\n"));
}

}  // namespace
}  // namespace korvane::racks::testing
