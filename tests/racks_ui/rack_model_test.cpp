// The rack without its window: loading records, range rules, failures and saving back.
#include "racks/ui/rack_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "racks/rack_file.h"
#include "racks/ui/control_properties.h"
#include "racks/ui/lcd_panel.h"
#include "racks/ui/picture_data.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

std::string Rack(const std::string& children) {
    return "object r: TfrmRack\n" + children + "end\n";
}

std::string OneControl(const std::string& cls, const std::string& properties) {
    return Rack("  object c: " + cls + "\n" + properties + "  end\n");
}

TRackModel Loaded(const std::string& text) {
    TRackModel model;
    const TStatus status = model.Load(FormFromTextOrDie(text));
    EXPECT_TRUE(status.Ok()) << (status.Ok() ? "" : status.Error());
    return model;
}

TEST(RackModel, RangesDefaultPerClassAndValuesStartAtTheMinimum) {
    struct TCase {
        const char* cls;
        const char* properties;
        double min, max, value;
    };
    const TCase cases[] = {
        {"TVrSlider", "", 0, 100, 0},
        {"TVrTrackBar", "    MinValue = 5\n", 5, 100, 5},
        {"TVrMeter", "    Position = 150\n    MaxValue = 200\n", 0, 200, 150},
        {"TVrProgressBar", "    Position = 150\n", 0, 100, 100},
        {"TVrNum", "", 0, 9999, 0},
        {"TVrNum", "    Min = -10\n    Max = 10\n    Value = -40\n", -10, 10, -10},
        {"TVrSwitch", "", 0, 3, 0},
        {"TVrSwitch", "    Positions = 6\n    Offset = 9\n", 0, 5, 5},
        {"TVrSwitch", "    Positions = 0\n", 0, 0, 0},
        {"TVrAngularMeter", "    Position = 12.5\n", 0, 100, 12.5},
        {"TVrPowerMeter", "    MaxValue = 500\n    Value = 250\n", 0, 500, 250},
        {"TVrScope", "    MinValue = -50\n    MaxValue = 50\n", -50, 50, -50},
        {"TVrSlider", "    MinValue = 50\n    MaxValue = 10\n", 50, 50, 50},
    };
    for (const TCase& c : cases) {
        TRackModel model = Loaded(OneControl(c.cls, c.properties));
        ASSERT_EQ(model.Count(), 1u) << c.cls;
        const TRackControl& control = model.Control(0);
        EXPECT_EQ(control.range.min, c.min) << c.cls << c.properties;
        EXPECT_EQ(control.range.max, c.max) << c.cls << c.properties;
        EXPECT_EQ(control.State().value, c.value) << c.cls << c.properties;
    }
}

TEST(RackModel, ListsTakeTheirChoiceOnceTheItemsAreThere) {
    TRackModel model =
        Loaded(OneControl("TComboBox", "    ItemIndex = 1\n    Items.Strings = ('a' 'b' 'c')\n"));
    EXPECT_EQ(model.Control(0).State().itemIndex, 1);
    EXPECT_EQ(model.Control(0).State().text, "b");
    TRackModel typed =
        Loaded(OneControl("TComboBox", "    Text = 'own'\n    Items.Strings = ('a')\n"));
    EXPECT_EQ(typed.Control(0).State().itemIndex, -1);
    EXPECT_EQ(typed.Control(0).State().text, "own");
    TRackModel memo = Loaded(OneControl("TMemo", "    Lines.Strings = ('one' 'two')\n"));
    EXPECT_EQ(memo.Control(0).State().text, "one\r\ntwo\r\n");
}

TEST(RackModel, LooksComeFromTheRecordAndTheWindowFont) {
    TRackModel model = Loaded(
        "object r: TfrmRack\n  Font.Name = 'Arial'\n  Font.Color = clLime\n  Font.Height = -14\n"
        "  object a: TLabel\n    Caption = 'x'\n  end\n"
        "  object b: TLabel\n    Font.Style = [fsBold, fsItalic]\n    Font.Size = 12\n"
        "    Color = 255\n    Transparent = True\n    Alignment = taCenter\n  end\nend\n");
    const TControlLook& a = model.Control(0).look;
    EXPECT_EQ(a.font.name, "Arial");
    EXPECT_EQ(a.font.colour, Rgb(0x00FF00));
    EXPECT_EQ(a.font.pixelHeight, 14);
    const TControlLook& b = model.Control(1).look;
    EXPECT_TRUE(b.font.bold && b.font.italic && !b.font.underline);
    EXPECT_EQ(b.font.pixelHeight, 16);
    EXPECT_EQ(b.colour, Rgb(0xFF0000));
    EXPECT_TRUE(b.transparent);
    EXPECT_EQ(b.alignment, TAlignment::Center);
}

TEST(RackModel, WrongKindsOfValueFailNamingControlAndProperty) {
    struct TCase {
        const char* cls;
        const char* property;
        const char* message;
    };
    const TCase cases[] = {
        {"TVrSlider", "Position = 'x'",
         "control c: property Position holds String, not an integer"},
        {"TVrSlider", "Position = 2.5",
         "control c: property Position holds Extended, not an integer"},
        {"TVrAngularMeter", "Position = 'x'",
         "control c: property Position holds String, not a number"},
        {"TVrLed", "Active = 1", "control c: property Active holds Int8, not a boolean"},
        {"TLabel", "Caption = 3", "control c: property Caption holds Int8, not a string"},
        {"TLabel", "Color = 'red'", "control c: property Color is not a colour"},
        {"TLabel", "Color = clPink", "control c: property Color is not a colour"},
        {"TLabel", "Font.Name = 5", "control c: property Font.Name holds Int8, not a string"},
        {"TLabel", "Font.Style = fsBold",
         "control c: property Font.Style holds Ident, not a set"},
        {"TVrSlider", "Orientation = voDiagonal",
         "control c: property Orientation has no orientation voDiagonal"},
        {"TImage", "Picture.Data = 'x'",
         "control c: property Picture.Data holds String, not raw bytes"},
        {"TComboBox", "Items.Strings = 'x'",
         "control c: property Items.Strings holds String, not a list of strings"},
        {"TVrMeter", "MaxValue = 1.5",
         "control c: property MaxValue holds Extended, not an integer"},
        {"TVrAngularMeter", "MaxValue = Extended({00000000000000C0FF7F})",
         "control c: property MaxValue is not a finite number"},
    };
    for (const TCase& c : cases) {
        TRackModel model;
        const TStatus status = model.Load(
            FormFromTextOrDie(OneControl(c.cls, std::string("    ") + c.property + "\n")));
        ASSERT_FALSE(status.Ok()) << c.property;
        EXPECT_EQ(status.Error(), c.message);
        EXPECT_EQ(model.Count(), 0u);
    }
}

TEST(RackModel, ABadRecordStopsTheLoadAndKeepsTheControlsBeforeIt) {
    struct TCase {
        const char* children;
        size_t kept;
        const char* message;
    };
    const TCase cases[] = {
        {"  object a: TLabel\n  end\n  object b: TButton\n  end\n  object c: TLabel\n  end\n", 1,
         "unregistered control class TButton (object b)"},
        {"  object a: TLabel\n  end\n  object a: TVrLed\n  end\n", 1, "two controls are named a"},
        {"  object a: TVrBorder\n    object b: TLabel\n    end\n  end\n", 0,
         "control a: a control cannot hold other controls"},
    };
    for (const TCase& c : cases) {
        TRackModel model;
        const TStatus status = model.Load(FormFromTextOrDie(Rack(c.children)));
        ASSERT_FALSE(status.Ok());
        EXPECT_EQ(status.Error(), c.message);
        EXPECT_EQ(model.Count(), c.kept);
    }
    // Unnamed controls may be many.
    TFormObject unnamed =
        FormFromTextOrDie(Rack("  object a: TLabel\n  end\n  object b: TLabel\n  end\n"));
    for (TFormObject& child : unnamed.children) child.objectName.clear();
    TRackModel model;
    EXPECT_TRUE(model.Load(unnamed).Ok());
    EXPECT_EQ(model.Count(), 2u);
}

TEST(RackModel, HostileSizesAreKeptWithinBounds) {
    TRackModel model = Loaded(
        "object r: TfrmRack\n  ClientWidth = 2147483647\n  ClientHeight = -5\n"
        "  object s: TVrScope\n    Width = 2147483647\n    Height = -2147483648\n"
        "    Left = 9000000000\n    BufferSize = 99999999\n    Interval = 0\n  end\nend\n");
    EXPECT_EQ(model.Window().clientWidth, kMaxClientSize);
    EXPECT_EQ(model.Window().clientHeight, 1);
    const TRackControl& scope = model.Control(0);
    EXPECT_EQ(scope.bounds.width, kMaxCoordinate);
    EXPECT_EQ(scope.bounds.height, 0);
    EXPECT_EQ(scope.bounds.left, kMaxCoordinate);
    EXPECT_EQ(scope.scope.capacity, kMaxScopeSamples);
    EXPECT_EQ(scope.scope.intervalMs, 1);
}

TEST(RackModel, WindowPropertiesApply) {
    TRackModel model = Loaded(
        "object r: TForm1\n  Left = -20\n  Top = 30\n  Caption = 'Bench'\n  Width = 300\n"
        "  Height = 200\n  ClientWidth = 250\n  Color = clBtnFace\n  BorderStyle = bsSizeable\n"
        "  BorderIcons = [biSystemMenu, biMaximize]\nend\n");
    const TWindowLook& w = model.Window();
    EXPECT_EQ(w.left, -20);
    EXPECT_EQ(w.top, 30);
    EXPECT_EQ(w.caption, "Bench");
    EXPECT_EQ(w.clientWidth, 250);   // the client size wins over the outer one
    EXPECT_EQ(w.clientHeight, 200);  // the outer size stands in where no client size is given
    EXPECT_EQ(w.colour, Rgb(0xD4D0C8));
    EXPECT_EQ(w.borderStyle, TBorderStyle::Sizeable);
    EXPECT_TRUE(w.maximizeButton);
    EXPECT_FALSE(w.minimizeButton);
    TRackModel bad;
    EXPECT_FALSE(bad.Load(FormFromTextOrDie("object r: T\n  BorderStyle = bsRound\nend\n")).Ok());
}

TEST(RackModel, SpinnersBindToTheirNumericDisplay) {
    TRackModel model = Loaded(
        Rack("  object a: TLabel\n  end\n  object b: TVrSpinner\n    Hint = 'n'\n  end\n"
             "  object c: TVrSlider\n  end\n  object n: TVrNum\n    Max = 3\n    Value = 2\n  end\n"
             "  object s: TVrSpinner\n    Hint = 'a'\n  end\n"));
    model.BindSpinners();
    EXPECT_EQ(model.Control(1).hint, "3");
    EXPECT_EQ(model.Control(4).hint, "a");  // a label is no companion
    EXPECT_EQ(model.StepCompanion(1, 1), std::optional<size_t>(3));
    EXPECT_EQ(model.StepCompanion(1, 1), std::optional<size_t>(3));
    EXPECT_EQ(model.Control(3).State().value, 3);  // stopped at Max
    for (int i = 0; i < 5; ++i) model.StepCompanion(1, -1);
    EXPECT_EQ(model.Control(3).State().value, 0);  // stopped at Min
    EXPECT_EQ(model.StepCompanion(4, 1), std::nullopt);
    // The file keeps the companion's name, so a saved rack binds again when reopened.
    EXPECT_EQ(model.Saved("r", 0, 0).children[1].properties.GetText("Hint").value, "n");
}

TEST(RackModel, SavingAnUnchangedRackGivesBackItsBytes) {
    const TFormObject panel = FormFromTextOrDie(kPanelRack);
    TResult<std::string> original = EncodeRack(panel);
    ASSERT_TRUE(original.Ok());
    TRackModel model;
    ASSERT_TRUE(model.Load(panel).Ok());
    model.BindSpinners();
    EXPECT_EQ(EncodeRack(model.Saved(panel.objectName, 1, 2)).Value(), original.Value());
}

TEST(RackModel, SavingWritesBackWhatChanged) {
    TRackModel model = Loaded(kPanelRack);
    auto control = [&model](std::string_view name) -> TRackControl& {
        return model.Control(*model.FindWritable(name));
    };
    control("slider1").SetValue(42);
    control("gauge1").SetValue(2.5);
    control("led1").SetActive(true);
    control("check1").SetActive(true);
    control("label1").SetText("Done");
    control("memo1").SetText("a\r\nb");
    control("switch1").SetValue(2);
    control("level1").SetVisible(false);
    TRackControl& combo = model.Control(model.Count() - 5);
    ASSERT_EQ(combo.Name(), "combo1");
    combo.SetItems({"x", "y"});
    const TFormObject saved = model.Saved("frmPanel", 0, 0);
    ASSERT_TRUE(EncodeRack(saved).Ok());
    TRackModel again;
    ASSERT_TRUE(again.Load(saved).Ok());
    auto state = [&again](std::string_view name) {
        for (size_t i = 0; i < again.Count(); ++i) {
            if (again.Control(i).Name() == name) return again.Control(i).State();
        }
        return TControlState{};
    };
    EXPECT_EQ(state("slider1").value, 42);
    EXPECT_EQ(state("gauge1").value, 2.5);
    EXPECT_TRUE(state("led1").active);
    EXPECT_TRUE(state("check1").active);
    EXPECT_EQ(state("label1").text, "Done");
    EXPECT_EQ(state("memo1").text, "a\r\nb\r\n");
    EXPECT_EQ(state("switch1").value, 2);
    EXPECT_FALSE(state("level1").visible);
    EXPECT_EQ(state("combo1").items, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(state("combo1").text, "x");
    // Untouched controls keep their records as read.
    EXPECT_EQ(saved.children[2], FormFromTextOrDie(kPanelRack).children[2]);
}

TEST(RackModel, EmptyWindowSavesItsOwnRecord) {
    TRackModel model;
    const TFormObject saved = model.Saved("frmRack", 10, 20);
    EXPECT_EQ(saved.className, "TFrmRack");
    EXPECT_EQ(saved.objectName, "frmRack");
    EXPECT_TRUE(saved.children.empty());
    EXPECT_EQ(saved.properties.GetInteger("Left").value, 10);
    EXPECT_EQ(saved.properties.GetInteger("ClientWidth").value, 104);
    EXPECT_EQ(saved.properties.GetText("Caption").value, "Rack");
    TRackModel again;
    ASSERT_TRUE(again.Load(saved).Ok());
    TWindowLook expected;
    expected.left = 10;
    expected.top = 20;
    EXPECT_EQ(again.Window(), expected);
}

TEST(RackModel, LcdStartsWithTheBuiltInPanel) {
    const TPicture panel = BuiltInLcdPicture();
    EXPECT_EQ(panel.graphicClass, "TBitmap");
    ASSERT_EQ(panel.data.size(), 30934u);
    EXPECT_EQ(panel.data.substr(0, 2), "BM");
    TRackModel model = Loaded(OneControl("TLcd", "    Width = 120\n    Height = 30\n"));
    EXPECT_EQ(model.Control(0).State().picture, panel);
    const TPicture own{"TBitmap", "BMxyz"};
    TFormObject root = FormFromTextOrDie(OneControl("TLcd", ""));
    root.children[0].properties.SetBytes("Picture.Data", EncodePictureData(own));
    TRackModel replaced;
    ASSERT_TRUE(replaced.Load(root).Ok());
    EXPECT_EQ(replaced.Control(0).State().picture, own);
}

TEST(PictureData, ClassNameSizeAndFile) {
    const std::string bitmap = EncodePictureData({"TBitmap", "BMdata"});
    EXPECT_EQ(bitmap, std::string("\x07TBitmap\x06\0\0\0BMdata", 18));
    EXPECT_EQ(DecodePictureData(bitmap), (TPicture{"TBitmap", "BMdata"}));
    EXPECT_EQ(DecodePictureData(EncodePictureData({"TIcon", "ico"})), (TPicture{"TIcon", "ico"}));
    EXPECT_EQ(EncodePictureData({"TIcon", "ico"}), "\x05TIconico");
    EXPECT_EQ(DecodePictureData(std::string("\x07TBitmap\x09\0\0\0BMdata", 18)), std::nullopt);
    EXPECT_EQ(DecodePictureData("\x09TBit"), std::nullopt);
    EXPECT_EQ(DecodePictureData(""), std::nullopt);
    EXPECT_EQ(GraphicClassForFile("a/b.BMP"), "TBitmap");
    EXPECT_EQ(GraphicClassForFile("x.jpeg"), "TJPEGImage");
    EXPECT_EQ(GraphicClassForFile("x.ico"), "TIcon");
    EXPECT_EQ(GraphicClassForFile("x.wmf"), "TMetafile");
    EXPECT_EQ(GraphicClassForFile("x.png"), "");
    EXPECT_EQ(GraphicClassForFile("noextension"), "");
}

}  // namespace
}  // namespace korvane::racks::testing
