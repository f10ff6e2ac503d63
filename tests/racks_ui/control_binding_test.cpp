// Scripts writing and reading rack controls by name: conversions, ranges and messages.
#include <gtest/gtest.h>

#include <QTest>

#include "racks/ui/control_class.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

struct TWriteCase {
    const char* assignment;
    const char* control;
    const char* readBack;
    const char* error;
    const char* errorText;  // only checked when error is 1
};

// The class the panel rack gives a control, so each case is named after what it writes.
std::string ClassOfControl(const std::string& control) {
    const std::string head = "object " + control + ": ";
    const size_t at = kPanelRack.find(head);
    if (at == std::string::npos) return "Unknown";
    const size_t from = at + head.size();
    return kPanelRack.substr(from, kPanelRack.find_first_of("\r\n", from) - from);
}

class ControlBindingWrite : public ::testing::TestWithParam<TWriteCase> {};

TEST_P(ControlBindingWrite, ConvertsClampsAndReports) {
    const TWriteCase& c = GetParam();
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("openrack(\"" + rack + "\")\nerror = 5\n" + c.assignment +
                     "\ne = error\nr = " + c.control);
    EXPECT_EQ(run->GetVariable("r"), c.readBack);
    EXPECT_EQ(run->GetVariable("e"), c.error);
    if (std::string(c.error) == "1") {
        EXPECT_EQ(run->LastErrorText(), c.errorText);
    }
    // A write to a control never touches a variable of that name (the scope's own aside).
    if (std::string(c.control) != "scope1") {
        EXPECT_EQ(run->Variables().Find(c.control), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryBoundClass, ControlBindingWrite,
    ::testing::Values(
        TWriteCase{"slider1 = 40", "slider1", "40", "0", ""},
        TWriteCase{"slider1 = 150", "slider1", "100", "0", ""},
        TWriteCase{"slider1 = -3", "slider1", "0", "0", ""},
        TWriteCase{"slider1 = 2.5", "slider1", "0", "1", "Slider: error changing position."},
        TWriteCase{"slider1 = \"abc\"", "slider1", "0", "1", "Slider: error changing position."},
        TWriteCase{"slider1 = 1/0", "slider1", "0", "1", "Slider: error changing position."},
        TWriteCase{"track1 = 5", "track1", "10", "0", ""},
        TWriteCase{"track1 = 2.5", "track1", "15", "1", "TrackBar: error changing position."},
        TWriteCase{"power1 = 42", "power1", "42", "0", ""},
        TWriteCase{"power1 = 2.5", "power1", "0", "1", "PowerMeter: error changing position."},
        TWriteCase{"label1 = \"Hello\" & 1", "label1", "Hello1", "0", ""},
        TWriteCase{"switch1 = 2", "switch1", "2", "0", ""},
        TWriteCase{"switch1 = 9", "switch1", "3", "0", ""},
        TWriteCase{"switch1 = \"two\"", "switch1", "0", "1", "Switch: error changing position."},
        TWriteCase{"led1 = 1", "led1", "1", "0", ""}, TWriteCase{"led1 = 2", "led1", "0", "0", ""},
        TWriteCase{"check1 = 1", "check1", "1", "0", ""},
        TWriteCase{"matrix1 = \"RUN\"", "matrix1", "RUN", "0", ""},
        TWriteCase{"button1 = 1", "button1", "1", "0", ""},
        TWriteCase{"meter1 = 55", "meter1", "55", "0", ""},
        TWriteCase{"meter1 = \"x\"", "meter1", "0", "1", "AnalogMeter: error changing position."},
        TWriteCase{"num1 = 70", "num1", "50", "0", ""},
        TWriteCase{"num1 = -9", "num1", "-5", "0", ""},
        TWriteCase{"num1 = 1.5", "num1", "7", "1", "NumericLed: error changing value."},
        TWriteCase{"level1 = 30", "level1", "30", "0", ""},
        TWriteCase{"level1 = \"\"", "level1", "0", "1", "LevelBar: error changing position."},
        TWriteCase{"edit1 = \"abc\"", "edit1", "abc", "0", ""},
        TWriteCase{"memo1 = \"line\"", "memo1", "line", "0", ""},
        TWriteCase{"gauge1 = 2.5", "gauge1", "2.5", "0", ""},
        TWriteCase{"gauge1 = \"x\"", "gauge1", "0", "1", "AngularMeter: error changing position."},
        TWriteCase{"scope1 = 5", "scope1", "5", "0", ""},
        TWriteCase{"scope1 = 1/0", "scope1", "", "1", "Scope: error adding value."}),
    [](const ::testing::TestParamInfo<TWriteCase>& written) {
        return ClassOfControl(written.param.control) + "_" + std::to_string(written.index);
    });

TEST(ControlBinding, OnOffClassesReadOneOrZeroAndIgnoreOtherValues) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("openrack(\"" + rack + "\")\nbutton1 = 1\na = button1\nbutton1 = \"1\"\n" +
                     "b = button1\nbutton1 = 0\nc = button1\nled1 = 1\nerror = 1\nled1 = 2\n" +
                     "d = led1 & \",\" & error\nled1 = \"0\"\ne = led1");
    EXPECT_EQ(run->GetVariable("a"), "1");
    EXPECT_EQ(run->GetVariable("b"), "1");
    EXPECT_EQ(run->GetVariable("c"), "0");
    EXPECT_EQ(run->GetVariable("d"), "1,0");
    EXPECT_EQ(run->GetVariable("e"), "0");
}

TEST(ControlBinding, ControlsShadowVariablesWhileTheyExist) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("slider1 = 7\nopenrack(\"" + rack + "\")\nslider1 = 30\na = slider1\n");
    EXPECT_EQ(run->GetVariable("a"), "30");
    EXPECT_EQ(run->GetVariable("slider1"), "7");
    // Hidden, the rack still takes writes but reads fall back to the variable.
    f.rack->hide();
    run->SetVariable("b", "");
    int cursor = 0;
    run->ExecuteLine("slider1 = 45", cursor);
    run->ExecuteLine("b = slider1", cursor);
    EXPECT_EQ(run->GetVariable("b"), "7");
    EXPECT_EQ(f.Control("slider1").State().value, 45);
    f.rack->show();
    run->ExecuteLine("b = slider1", cursor);
    EXPECT_EQ(run->GetVariable("b"), "45");
}

TEST(ControlBinding, UnboundClassesFallThroughToVariables) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("openrack(\"" + rack +
                     "\")\ncombo1 = \"x\"\nimage1 = 1\nspin1 = 2\n"
                     "lcd1 = 3\nborder1 = 4\ngradient1 = 5\n");
    for (const char* name : {"combo1", "image1", "spin1", "lcd1", "border1", "gradient1"}) {
        EXPECT_NE(run->Variables().Find(name), nullptr) << name;
    }
    EXPECT_EQ(f.Control("combo1").State().text, "");
}

// A rack is outside data: a control named like a variable the system sets (in any spelling)
// must not take its place, or a failed command would read as a success.
TEST(ControlBinding, ControlsNeverHideTheVariablesTheSystemSets) {
    for (const char* names : {"error myport", "ERROR MyPort"}) {
        const std::string errorName = std::string(names).substr(0, 5);
        const std::string portName = std::string(names).substr(6);
        TRackFixture f;
        const std::string rack = f.WriteRack(
            "object r: TfrmRack\n  object " + errorName + ": TLabel\n    Caption = '0'\n  end\n" +
            "  object " + portName + ": TLabel\n    Caption = 'com1'\n  end\nend\n");
        auto run = f.Run("openrack(\"" + rack + "\")\nx = asc(\"\")\ne1 = " + errorName + "\nif (" +
                         errorName + " == 0)\nhidden = 1\nendif\n" + errorName + " = 5\n" +
                         portName + " = \"com7\"\np = " + portName);
        EXPECT_EQ(run->GetVariable("e1"), "1") << names;
        EXPECT_EQ(run->GetVariable("hidden"), "") << names;
        EXPECT_EQ(run->GetVariable("error"), "5") << names;
        EXPECT_EQ(run->GetVariable("p"), "com7") << names;
        EXPECT_EQ(f.Control(errorName).State().text, "0") << names;
        EXPECT_EQ(f.Control(portName).State().text, "com1") << names;
    }
}

TEST(ControlBinding, OpeningAnotherRackRetiresTheOldNames) {
    TRackFixture f;
    const std::string first = f.WriteRack(kPanelRack);
    const std::string second =
        f.WriteRack("object other: TfrmRack\n  object knob: TVrSlider\n  end\nend\n", "other.res");
    auto run = f.Run("openrack(\"" + first + "\")\nopenrack(\"" + second +
                     "\")\nslider1 = 12\nknob = 3\nk = knob");
    EXPECT_EQ(run->GetVariable("slider1"), "12");
    EXPECT_EQ(run->GetVariable("k"), "3");
}

TEST(ControlBinding, MemoKeepsTheLast65000Characters) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("openrack(\"" + rack +
                     "\")\ns = \"0123456789\"\nfor (i, 1, 13, 1)\n"
                     "s = s & s\nnext\nmemo1 = \"x\" & s\nn = len(memo1)");
    const std::string written = "x" + run->GetVariable("s");
    ASSERT_EQ(written.size(), 81921u);
    EXPECT_EQ(run->GetVariable("n"), "65000");
    EXPECT_EQ(f.Control("memo1").State().text, written.substr(written.size() - 65000));
}

TEST(ControlBinding, ScopeAddsOneSamplePerWriteAtItsTick) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("openrack(\"" + rack +
                     "\")\nscope1 = 5\nscope1 = 200\nscope1 = \"x\"\n"
                     "scope1 = -4");
    const TRackControl& scope = f.Control("scope1");
    EXPECT_TRUE(scope.scope.samples.empty() || scope.scope.samples[0].empty());
    EXPECT_EQ(run->GetVariable("scope1"), "-4");
    QTest::qWait(250);
    ASSERT_EQ(scope.scope.samples.size(), 1u);
    EXPECT_EQ(scope.scope.samples[0], (std::deque<double>{5, 100, 0, 0}));
    // A later write waits for the next tick again.
    f.Run("openrack(\"" + rack + "\")\nscope1 = 60");
    QTest::qWait(250);
    EXPECT_EQ(f.Control("scope1").scope.samples.at(0), (std::deque<double>{60}));
}

TEST(ControlBinding, ScopeTicksGiveTheMinimumOutsideARunAndToLaterChannels) {
    TRackFixture f;
    const std::string rack = f.WriteRack(
        "object r: TfrmRack\n  object s: TVrScope\n    Width = 100\n    MinValue = 10\n"
        "    Channels = 2\n  end\nend\n");
    f.Run("openrack(\"" + rack + "\")\ns = 40");
    QTest::qWait(250);
    const TRackControl& scope = f.Control("s");
    ASSERT_EQ(scope.scope.samples.size(), 2u);
    EXPECT_EQ(scope.scope.samples[0], (std::deque<double>{40}));
    EXPECT_EQ(scope.scope.samples[1], (std::deque<double>{10}));
    f.owner.runActive = false;
    f.Run("s = 70");
    QTest::qWait(250);
    EXPECT_EQ(scope.scope.samples[0], (std::deque<double>{40, 10}));
}

TEST(ControlBinding, UnreadablePositionReportsTheReadError) {
    TRackFixture f;
    // A NaN position, which only a rack file can carry.
    const std::string rack = f.WriteRack(
        "object r: TfrmRack\n  object g: TVrAngularMeter\n"
        "    Position = Extended({00000000000000C0FF7F})\n  end\nend\n");
    auto run = f.Run("openrack(\"" + rack + "\")\nv = g & \"!\"\ne = error");
    EXPECT_EQ(run->GetVariable("v"), "!");
    EXPECT_EQ(run->GetVariable("e"), "1");
    EXPECT_EQ(run->LastErrorText(), "AngularMeter: error reading postion.");
}

TEST(ControlBinding, ClassTableHoldsTheUsersTexts) {
    struct TRow {
        TControlClass cls;
        const char* write;
        const char* read;
    };
    const TRow rows[] = {
        {TControlClass::Slider, "Slider: error changing position.",
         "Slider: error reading postion."},
        {TControlClass::TrackBar, "TrackBar: error changing position.",
         "TrackBar: error reading postion."},
        {TControlClass::PowerMeter, "PowerMeter: error changing position.",
         "PowerMeter: error reading value."},
        {TControlClass::Label, "Label: error changing text.", "Label: error reading text."},
        {TControlClass::Switch, "Switch: error changing position.",
         "Switch: error reading position."},
        {TControlClass::Led, "Led: error changing state.", "Led: error reading state."},
        {TControlClass::CheckLed, "CheckLed: error changing state.",
         "CheckLed: error reading state."},
        {TControlClass::Matrix, "MatrixLed: error changing text.",
         "MatrixLed: error reading text."},
        {TControlClass::PowerButton, "PowerButton: error changing state.",
         "PowerButton: error reading state."},
        {TControlClass::Meter, "AnalogMeter: error changing position.",
         "AnalogMeter: error reading postion."},
        {TControlClass::Num, "NumericLed: error changing value.",
         "NumericLed: error reading value."},
        {TControlClass::ProgressBar, "LevelBar: error changing position.",
         "LevelBar: error reading postion."},
        {TControlClass::Scope, "Scope: error adding value.", ""},
        {TControlClass::Edit, "Edit: error changing text.", "Edit: error reading text."},
        {TControlClass::Memo, "Memo: error changing text.", "Memo: error reading text."},
        {TControlClass::AngularMeter, "AngularMeter: error changing position.",
         "AngularMeter: error reading postion."},
    };
    int bound = 0;
    for (int i = 0; i < kControlClassCount; ++i) bound += IsWritable(static_cast<TControlClass>(i));
    EXPECT_EQ(bound, static_cast<int>(std::size(rows)));
    for (const TRow& row : rows) {
        EXPECT_EQ(BindingOf(row.cls).writeError, row.write);
        EXPECT_EQ(BindingOf(row.cls).readError, row.read);
        EXPECT_EQ(IsReadable(row.cls), row.cls != TControlClass::Scope);
    }
}

}  // namespace
}  // namespace korvane::racks::testing
