// The rack commands as scripts call them: arguments, log lines, error variable and texts.
#include "racks/ui/rack_commands.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <filesystem>

#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

using TMessages = std::vector<std::string>;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

TEST(RackCommands, OpenrackLogsAndReports) {
    TRackFixture f;
    const std::string rack = Quoted(f.WriteRack(kPanelRack));
    auto run = f.Run("error = 7\nopenrack(" + rack + ", 2)\na = error\nopenrack(" + rack +
                     ")\nb = error\nslider1 = 5\nopenrack(\"missing.res\")\nc = error\n"
                     "t = geterror()\nslider1 = 9\nwritelog(\"done\")");
    EXPECT_EQ(run->GetVariable("a"), "7");  // a wrong argument count does nothing at all
    EXPECT_EQ(run->GetVariable("b"), "0");
    EXPECT_EQ(run->GetVariable("c"), "1");
    EXPECT_EQ(run->GetVariable("t"), "openrack: cannot open rack.");
    EXPECT_EQ(run->GetVariable("slider1"), "9");  // the old rack's controls are gone
    const TMessages messages = f.Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Rack is open");
    EXPECT_EQ(messages[1], "Cannot open rack");
}

TEST(RackCommands, OpenrackThatFailsHalfwayKeepsWhatItMade) {
    TRackFixture f;
    const std::string rack = f.WriteRack(
        "object r: TfrmRack\n  object a: TVrLed\n  end\n  object b: TVrSlider\n"
        "    Position = 'x'\n  end\nend\n");
    auto run = f.Run("openrack(\"" + rack + "\")\ne = error\na = 1\n");
    EXPECT_EQ(run->GetVariable("e"), "1");
    EXPECT_EQ(f.Messages().at(0), "Cannot open rack");
    EXPECT_FALSE(f.owner.rackOpen);
    EXPECT_EQ(f.rack->Model().Count(), 1u);
    EXPECT_EQ(run->Variables().Find("a"), nullptr);  // the LED took the write
    EXPECT_TRUE(f.Control("a").State().active);
}

TEST(RackCommands, SaverackWritesTheRackOrReports) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    const std::string saved = f.dir.File("saved.res");
    const std::string empty = f.dir.File("empty.res");
    auto run = f.Run("saverack(" + Quoted(empty) + ")\na = error\nopenrack(" + Quoted(rack) +
                     ")\nslider1 = 64\nsaverack(" + Quoted(saved) + ")\nb = error\nsaverack(" +
                     Quoted(f.dir.File("none/x.res")) +
                     ")\nc = error\nt = geterror()\n"
                     "openrack(" +
                     Quoted(saved) + ")\nd = slider1");
    EXPECT_EQ(run->GetVariable("a"), "1");  // no rack open: nothing to save
    EXPECT_FALSE(std::filesystem::exists(empty));
    EXPECT_EQ(run->GetVariable("b"), "0");
    EXPECT_EQ(run->GetVariable("c"), "1");
    EXPECT_EQ(run->GetVariable("t"), "saverack: error saving rack");
    EXPECT_EQ(run->GetVariable("d"), "64");
    EXPECT_EQ(f.Messages(),
              (TMessages{"Rack was not saved. No rack is open.", "Rack is open", "Rack is open"}));
}

TEST(RackCommands, CapturerackChecksQualityAndVisibility) {
    struct TCase {
        const char* quality;
        bool visible;
        const char* logged;
    };
    const TCase cases[] = {
        {"0", true, kCaptureNotVisible},   {"101", true, kCaptureNotVisible},
        {"50", false, kCaptureNotVisible}, {"\"high\"", true, kCaptureFailed},
        {"2.5", true, kCaptureFailed},
    };
    for (const TCase& c : cases) {
        TRackFixture f;
        const std::string rack = f.WriteRack(kPanelRack);
        const std::string jpeg = f.dir.File("shot.jpg");
        f.Run("openrack(" + Quoted(rack) + ")");
        if (!c.visible) f.rack->hide();
        auto run = f.Run("capturerack(" + Quoted(jpeg) + ", " + c.quality + ")\ne = error\n" +
                         "t = geterror()");
        EXPECT_EQ(f.Messages().back(), c.logged) << c.quality;
        EXPECT_EQ(run->GetVariable("e"), "1");
        EXPECT_EQ(run->GetVariable("t"), "capturerack: error saving rack image.");
        EXPECT_FALSE(std::filesystem::exists(jpeg));
    }
}

TEST(RackCommands, CapturerackWritesAJpegOfTheWindow) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    const std::string jpeg = f.dir.File("shot.jpg");
    auto run = f.Run("openrack(" + Quoted(rack) + ")\nled1 = 1\ncapturerack(" + Quoted(jpeg) +
                     ", 100)\na = error\ncapturerack(" + Quoted(f.dir.File("none/x.jpg")) +
                     ", 90)\nb = error");
    EXPECT_EQ(run->GetVariable("a"), "0");
    EXPECT_EQ(run->GetVariable("b"), "1");
    EXPECT_EQ(f.Messages(), (TMessages{"Rack is open", kCaptureFailed}));
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(jpeg), "JPG"));
    // The outer rectangle on a display; the offscreen platform draws no frame, so there the
    // client area is what the screen shows.
    const bool offscreen = QGuiApplication::platformName() == "offscreen";
    EXPECT_EQ(image.size(), offscreen ? f.rack->size() : f.rack->frameGeometry().size());
    EXPECT_EQ(f.rack->size(), QSize(400, 300));
    // The lit LED is in the picture: its centre is bright green.
    const QColor led = image.pixelColor(280, 50);
    EXPECT_GT(led.green(), 150);
    EXPECT_LT(led.red(), 120);
    EXPECT_FALSE(f.rack->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(RackCommands, CapturerackRestoresAMinimisedRack) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    f.Run("openrack(" + Quoted(rack) + ")");
    f.rack->showMinimized();
    QTest::qWait(100);
    ASSERT_TRUE(f.rack->isMinimized());
    auto run = f.Run("capturerack(" + Quoted(f.dir.File("shot.jpg")) + ", 80)\ne = error");
    EXPECT_EQ(run->GetVariable("e"), "0");
    // The window system may report the state a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.rack->isMinimized(); }, 2000));
    EXPECT_TRUE(std::filesystem::exists(f.dir.File("shot.jpg")));
}

TEST(RackCommands, LoadimageTakesBitmapsOnly) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    const std::string bmp = f.dir.File("pic.bmp");
    const std::string jpg = f.dir.File("pic.jpg");
    ASSERT_TRUE(picture.save(QString::fromStdString(bmp), "BMP"));
    ASSERT_TRUE(picture.save(QString::fromStdString(jpg), "JPG"));
    auto run =
        f.Run("openrack(" + Quoted(rack) + ")\nloadimage(\"image1\", " + Quoted(jpg) +
              ")\na = error\nta = geterror()\nloadimage(\"image1\", " + Quoted(bmp) +
              ")\nb = error\nloadimage(\"image1\", \"missing.bmp\")\nc = error\ntc = geterror()\n"
              "loadimage(\"slider1\", " +
              Quoted(bmp) +
              ")\nd = error\n"
              "loadimage(\"nothing\", " +
              Quoted(bmp) +
              ")\ne = error\nerror = 5\n"
              "loadimage(\"image1\")\nf = error\n"
              "loadimage(\"nothing\", " +
              Quoted(f.dir.File("")) + ")\ng = error");
    EXPECT_EQ(run->GetVariable("a"), "1");
    EXPECT_EQ(run->GetVariable("ta"), "loadimage: cannot find image file.");
    EXPECT_EQ(run->GetVariable("b"), "0");
    EXPECT_EQ(run->GetVariable("c"), "1");
    EXPECT_EQ(run->GetVariable("tc"), "loadimage: cannot find image file.");
    EXPECT_EQ(run->GetVariable("d"), "0");
    EXPECT_EQ(run->GetVariable("e"), "0");
    EXPECT_EQ(run->GetVariable("f"), "5");
    EXPECT_EQ(run->GetVariable("g"), "1");  // a folder is no image file
    EXPECT_EQ(f.Control("image1").State().picture.data, ReadBytes(bmp));
    EXPECT_EQ(f.Messages().size(), 1u);  // nothing logged besides the open
}

TEST(RackCommands, LoadimageInStandaloneModeLooksBesideTheProgram) {
    TRackFixture f;
    f.owner.standalone = true;
    f.host.standalone = true;
    const std::string rack = f.WriteRack(kPanelRack);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::cyan);
    ASSERT_TRUE(picture.save(QString::fromStdString(f.dir.File("pic.bmp")), "BMP"));
    auto run = f.Run("openrack(" + Quoted(rack) +
                     ")\nloadimage(\"image1\", \"/some/other/folder/pic.bmp\")\ne = error");
    EXPECT_EQ(run->GetVariable("e"), "0");
    EXPECT_EQ(f.Control("image1").State().picture.data, ReadBytes(f.dir.File("pic.bmp")));
    EXPECT_TRUE(f.host.log.empty());  // a standalone program logs nothing
}

TEST(RackCommands, DropDownTextInAndOut) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run = f.Run("openrack(" + Quoted(rack) +
                     ")\ns = \"first\" & chr(13) & chr(10) & \"second\"\n"
                     "error = 3\nddown_settext(\"combo1\", s)\n"
                     "a = error\nb = ddown_gettext(\"combo1\")\nc = error\nerror = 4\n"
                     "d = ddown_gettext(\"slider1\") & \"|\" & error\n"
                     "ddown_settext(\"combo1\", \"\")\ne = ddown_gettext(\"combo1\")\n"
                     "ddown_settext(\"slider1\", \"x\")");
    EXPECT_EQ(run->GetVariable("a"), "3");
    EXPECT_EQ(run->GetVariable("b"), "first");
    EXPECT_EQ(run->GetVariable("c"), "0");
    EXPECT_EQ(run->GetVariable("d"), "|0");
    EXPECT_EQ(run->GetVariable("e"), "first");  // an empty text leaves no item to select
    EXPECT_TRUE(f.Control("combo1").State().items.empty());
    run = f.Run("ddown_settext(\"combo1\", \"a\" & chr(10) & \"b\" & chr(10))\n");
    EXPECT_EQ(f.Control("combo1").State().items, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(f.Control("combo1").State().itemIndex, 0);
    // ddown_gettext works while the window is hidden.
    f.rack->hide();
    run = f.Run("x = ddown_gettext(\"combo1\")");
    EXPECT_EQ(run->GetVariable("x"), "a");
}

TEST(RackCommands, SetvisibleShowsHidesOrLeavesAlone) {
    TRackFixture f;
    const std::string rack = f.WriteRack(kPanelRack);
    auto run =
        f.Run("openrack(" + Quoted(rack) + ")\nerror = 2\nsetvisible(\"led1\", 0)\ne = error");
    EXPECT_EQ(run->GetVariable("e"), "2");
    const size_t led = f.IndexOf("led1");
    EXPECT_FALSE(f.Control("led1").State().visible);
    EXPECT_FALSE(f.rack->ControlWidget(led)->isVisible());
    f.Run("setvisible(\"led1\", 2)");
    EXPECT_FALSE(f.Control("led1").State().visible);
    f.Run("setvisible(\"led1\", \"1\")\nsetvisible(\"nothing\", 0)\nsetvisible(\"combo1\", 0)");
    EXPECT_TRUE(f.Control("led1").State().visible);
    EXPECT_TRUE(f.rack->ControlWidget(led)->isVisible());
    EXPECT_FALSE(f.Control("combo1").State().visible);
}

// With the panel open, each row follows a failed loadimage: a success sets error back to 0
// (ddown_settext, setvisible and reading a control leave it alone) and geterror() keeps the
// loadimage message.
TEST(RackCommands, SuccessAfterFailureClearsErrorButKeepsTheMessage) {
    TRackFixture f;
    const std::string rack = Quoted(f.WriteRack(kPanelRack));
    const std::string bmp = f.dir.File("pic.bmp");
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(QString::fromStdString(bmp), "BMP"));
    const struct {
        std::string statement;
        const char* error;
    } cases[] = {
        {"openrack(" + rack + ")", "0"},
        {"saverack(" + Quoted(f.dir.File("saved.res")) + ")", "0"},
        {"capturerack(" + Quoted(f.dir.File("shot.jpg")) + ", 50)", "0"},
        {"loadimage(\"image1\", " + Quoted(bmp) + ")", "0"},
        {"loadimage(\"nothing\", " + Quoted(bmp) + ")", "0"},
        {"x = ddown_gettext(\"combo1\")", "0"},
        {"slider1 = 40", "0"},
        {"led1 = 2", "0"},
        {"ddown_settext(\"combo1\", \"a\")", "1"},
        {"setvisible(\"led1\", 1)", "1"},
        {"x = slider1", "1"},
    };
    for (const auto& c : cases) {
        auto run = f.Run("openrack(" + rack + ")\nloadimage(\"image1\", \"missing.bmp\")\n" +
                         c.statement + "\ne = error\nm = geterror()");
        EXPECT_EQ(run->GetVariable("e"), c.error) << c.statement;
        EXPECT_EQ(run->GetVariable("m"), "loadimage: cannot find image file.") << c.statement;
    }
}

}  // namespace
}  // namespace korvane::racks::testing
