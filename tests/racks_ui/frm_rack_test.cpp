// The rack window: its first look, the load steps, images, names and window events.
#include "racks/ui/frm_rack.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include "racks/rack_file.h"
#include "racks/ui/picture_data.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

const char kSmallRack[] = R"(object frmSmall: TfrmRack
  Left = 306
  Top = 155
  Caption = 'Small'
  ClientHeight = 110
  ClientWidth = 188
  object image1: TImage
    Left = 8
    Top = 8
    Width = 32
    Height = 32
    Hint = 'HINT'
  end
  object edit1: TEdit
    Left = 50
    Top = 8
    Width = 80
    Height = 21
  end
end
)";

std::string SmallRack(const std::string& hint) {
    std::string text = kSmallRack;
    text.replace(text.find("HINT"), 4, hint);
    return text;
}

std::string WriteBitmap(const TTempDir& dir, const std::string& name, QColor colour, int size = 4) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    const std::string path = dir.File(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), name.ends_with(".jpg") ? "JPG" : "BMP"));
    return path;
}

TEST(FrmRack, StartsAsAnEmptyHiddenBlackRack) {
    TRackFixture f;
    TFrmRack& rack = *f.rack;
    EXPECT_FALSE(rack.isVisible());
    EXPECT_EQ(rack.windowTitle(), "Rack");
    EXPECT_EQ(rack.size(), QSize(104, 38));
    EXPECT_EQ(rack.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_FALSE(rack.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(rack.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(rack.minimumSize(), rack.maximumSize());  // a fixed border
    EXPECT_EQ(rack.objectName(), "frmRack");
    EXPECT_TRUE(rack.Model().Empty());
}

TEST(FrmRack, LoadShowsTheRackAtTheRememberedPlace) {
    TRackFixture f;
    f.owner.position = {40, 50};
    std::vector<std::string> log;
    const TStatus status = f.rack->LoadRack(f.WriteRack(kSmallRack),
                                            [&log](std::string_view m) { log.emplace_back(m); });
    ASSERT_TRUE(status.Ok()) << status.Error();
    EXPECT_EQ(log, std::vector<std::string>{"Rack is open"});
    EXPECT_TRUE(f.rack->isVisible());
    EXPECT_TRUE(f.owner.rackOpen);
    EXPECT_EQ(f.rack->pos(), QPoint(40, 50));
    EXPECT_EQ(f.rack->size(), QSize(188, 110));
    EXPECT_EQ(f.rack->windowTitle(), "Small");
    EXPECT_EQ(f.rack->objectName(), "frmSmall");
    EXPECT_EQ(f.rack->Model().Count(), 2u);
    EXPECT_TRUE(f.owner.stored.empty());  // the load's own hiding remembers nothing
}

TEST(FrmRack, StandaloneKeepsThePositionOfTheFile) {
    TRackFixture f;
    f.owner.standalone = true;
    f.owner.position = {40, 50};
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
    EXPECT_EQ(f.rack->pos(), QPoint(306, 155));
}

TEST(FrmRack, WindowNameIsMadeUnique) {
    TRackFixture f;
    QWidget other;
    other.setObjectName("frmSmall");
    QWidget second;
    second.setObjectName("frmSmall_1");
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
    EXPECT_EQ(f.rack->objectName(), "frmSmall_2");
    // Loading again under its own name does not count the window itself.
    other.setObjectName("x");
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
    EXPECT_EQ(f.rack->objectName(), "frmSmall");
}

TEST(FrmRack, BrokenFilesFailAndLeaveTheWindowEmpty) {
    TRackFixture f;
    const std::string good = f.WriteRack(kSmallRack);
    const std::string bytes = ReadBytes(good);
    struct TCase {
        const char* name;
        std::string bytes;
    };
    std::string wrongFirst = bytes;
    wrongFirst[0] = '\xFE';
    std::string wrongType = bytes;
    wrongType[1] = 11;
    const std::string resource32 = std::string(32, '\0') + bytes;
    const TCase cases[] = {
        {"first byte", wrongFirst},
        {"type", wrongType},
        {"32-bit resource file", resource32},
        {"truncated", bytes.substr(0, bytes.size() - 3)},
        {"empty", ""},
    };
    for (const TCase& c : cases) {
        ASSERT_TRUE(f.rack->LoadRack(good).Ok());
        WriteBytes(f.dir.File("bad.res"), c.bytes);
        EXPECT_FALSE(f.rack->LoadRack(f.dir.File("bad.res")).Ok()) << c.name;
        EXPECT_TRUE(f.rack->Model().Empty()) << c.name;
    }
    EXPECT_FALSE(f.rack->LoadRack(f.dir.File("missing.res")).Ok());
}

TEST(FrmRack, ImageHintsLoadPicturesOrKeepTheFilesOwn) {
    TRackFixture f;
    const std::string red = WriteBitmap(f.dir, "red.bmp", Qt::red);
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(SmallRack(red))).Ok());
    const TPicture& picture = f.Control("image1").State().picture;
    EXPECT_EQ(picture.graphicClass, "TBitmap");
    EXPECT_EQ(picture.data, ReadBytes(red));
    // A JPEG hint loads too, as a JPEG.
    const std::string jpeg = WriteBitmap(f.dir, "blue.jpg", Qt::blue);
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(SmallRack(jpeg))).Ok());
    EXPECT_EQ(f.Control("image1").State().picture.graphicClass, "TJPEGImage");
    // A missing file leaves the picture stored in the rack; the load still succeeds.
    TFormObject withPicture = FormFromTextOrDie(SmallRack(f.dir.File("missing.bmp")));
    withPicture.children[0].properties.SetBytes("Picture.Data",
                                                EncodePictureData({"TBitmap", ReadBytes(red)}));
    ASSERT_TRUE(SaveRackFile(f.dir.File("own.res"), withPicture).Ok());
    ASSERT_TRUE(f.rack->LoadRack(f.dir.File("own.res")).Ok());
    EXPECT_EQ(f.Control("image1").State().picture.data, ReadBytes(red));
}

TEST(FrmRack, StandaloneImageHintsLookBesideTheProgramForBitmaps) {
    TRackFixture f;
    f.owner.standalone = true;
    WriteBitmap(f.dir, "logo.bmp", Qt::green);
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(SmallRack("/elsewhere/dir/logo.bmp"))).Ok());
    EXPECT_EQ(f.Control("image1").State().picture.data, ReadBytes(f.dir.File("logo.bmp")));
    WriteBitmap(f.dir, "photo.jpg", Qt::green);
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(SmallRack("photo.jpg"))).Ok());
    EXPECT_TRUE(f.Control("image1").State().picture.Empty());  // only bitmaps load here
}

TEST(FrmRack, StandaloneOpensTheRackItCarriesByFileName) {
    TRackFixture f;
    f.owner.packaged = f.dir.File("unpacked");
    std::filesystem::create_directory(f.owner.packaged);
    WriteBytes((f.owner.packaged / "panel.res").string(), "carried");
    const std::filesystem::path carried = f.owner.packaged / "panel.res";
    EXPECT_EQ(f.rack->RackPath("panel.res"), "panel.res");  // not a packaged program
    f.owner.standalone = true;
    EXPECT_EQ(f.rack->RackPath("panel.res"), carried);
    EXPECT_EQ(f.rack->RackPath("/elsewhere/dir/panel.res"), carried);
    EXPECT_EQ(f.rack->RackPath("other.res"), "other.res");
    EXPECT_EQ(f.rack->RackPath("unpacked/.."), "unpacked/..");
    EXPECT_EQ(f.rack->RackPath(""), "");
}

TEST(FrmRack, CloseHideAndKeysOutsideStandaloneMode) {
    TRackFixture f;
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
    f.rack->move(70, 80);
    f.rack->close();
    EXPECT_FALSE(f.rack->isVisible());
    EXPECT_EQ(f.owner.mainShown, 1);
    EXPECT_EQ(f.owner.position, (TRackPosition{70, 80}));
    EXPECT_EQ(f.owner.stops, 0);
    f.rack->show();
    f.rack->move(90, 95);
    f.rack->hide();
    EXPECT_EQ(f.owner.position, (TRackPosition{90, 95}));
    // Escape, even while an edit has the focus, hides the rack and shows the main window.
    f.rack->show();
    QWidget* edit = f.rack->ControlWidget(1)->findChild<QWidget*>();
    ASSERT_NE(edit, nullptr);
    QKeyEvent escape(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(edit, &escape);
    EXPECT_FALSE(f.rack->isVisible());
    EXPECT_EQ(f.owner.mainShown, 2);
    QKeyEvent about(QEvent::KeyRelease, Qt::Key_F10, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(f.rack.get(), &about);
    EXPECT_EQ(f.owner.abouts, 0);  // only a standalone program shows it
}

TEST(FrmRack, StandaloneCloseStopsTheRunAndTheKeysShowAbout) {
    TRackFixture f;
    f.owner.standalone = true;
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
    struct TKey {
        Qt::KeyboardModifiers modifiers;
        int key;
        int abouts;
    };
    const TKey keys[] = {
        {Qt::ControlModifier | Qt::AltModifier, Qt::Key_F10, 1},
        {Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, Qt::Key_F10, 1},
        {Qt::ControlModifier, Qt::Key_F10, 1},
        {Qt::ControlModifier | Qt::AltModifier, Qt::Key_F9, 1},
        {Qt::NoModifier, Qt::Key_Escape, 1},
    };
    for (const TKey& k : keys) {
        QKeyEvent event(QEvent::KeyRelease, k.key, k.modifiers);
        QApplication::sendEvent(f.rack.get(), &event);
        EXPECT_EQ(f.owner.abouts, k.abouts);
    }
    EXPECT_TRUE(f.rack->isVisible());  // Escape does nothing here
    f.rack->close();
    EXPECT_EQ(f.owner.stops, 1);
    EXPECT_EQ(f.owner.mainShown, 0);
}

TEST(FrmRack, MinimisingAStandaloneRackMinimisesTheProgram) {
    for (bool standalone : {false, true}) {
        TRackFixture f;
        f.owner.standalone = standalone;
        ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
        QWidget other;
        other.show();
        f.rack->showMinimized();
        QTest::qWait(20);
        EXPECT_TRUE(f.rack->isMinimized());
        EXPECT_EQ(other.isMinimized(), standalone);
    }
}

TEST(FrmRack, SavingDetachesTheWindowEventsForGood) {
    TRackFixture f;
    f.owner.standalone = true;
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack)).Ok());
    ASSERT_TRUE(f.rack->SaveRack(f.dir.File("saved.res")).Ok());
    EXPECT_FALSE(f.rack->HandlersAttached());
    QKeyEvent about(QEvent::KeyRelease, Qt::Key_F10, Qt::ControlModifier | Qt::AltModifier);
    QApplication::sendEvent(f.rack.get(), &about);
    f.rack->close();
    EXPECT_EQ(f.owner.abouts, 0);
    EXPECT_EQ(f.owner.stops, 0);
    EXPECT_TRUE(f.owner.stored.empty());
    ASSERT_TRUE(f.rack->LoadRack(f.dir.File("saved.res")).Ok());
    EXPECT_FALSE(f.rack->HandlersAttached());
}

TEST(FrmRack, LoadAndSaveGiveTheSameBytes) {
    TRackFixture f;
    for (const std::string& text : {kPanelRack, std::string(kSmallRack)}) {
        const std::string path = f.WriteRack(text, "in.res");
        ASSERT_TRUE(f.rack->LoadRack(path).Ok());
        ASSERT_TRUE(f.rack->SaveRack(f.dir.File("out.res")).Ok());
        EXPECT_EQ(ReadBytes(f.dir.File("out.res")), ReadBytes(path));
    }
    const std::string demo = f.dir.File("demo.res");
    ASSERT_TRUE(SaveRackFile(demo, FormFromTextOrDie(ReadBytes(KORVANE_DEMO_RACK_TEXT))).Ok());
    ASSERT_TRUE(f.rack->LoadRack(demo).Ok());
    ASSERT_TRUE(f.rack->SaveRack(f.dir.File("out.res")).Ok());
    EXPECT_EQ(ReadBytes(f.dir.File("out.res")), ReadBytes(demo));
    EXPECT_EQ(f.rack->Model().Count(), 27u);
}

TEST(FrmRack, EmptyWindowSavesAndLoadsBack) {
    TRackFixture f;
    ASSERT_TRUE(f.rack->SaveRack(f.dir.File("empty.res")).Ok());
    const std::string bytes = ReadBytes(f.dir.File("empty.res"));
    EXPECT_EQ(bytes.substr(0, 12), std::string("\xFF\x0A\x00TFRMRACK\x00", 12));
    ASSERT_TRUE(f.rack->LoadRack(f.dir.File("empty.res")).Ok());
    EXPECT_EQ(f.rack->size(), QSize(104, 38));
    EXPECT_TRUE(f.rack->Model().Empty());
    EXPECT_FALSE(f.rack->SaveRack(f.dir.File("no/such/folder/x.res")).Ok());
}

TEST(FrmRack, OpeningASecondRackReplacesTheFirst) {
    TRackFixture f;
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kPanelRack)).Ok());
    const size_t widgets = f.rack->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size();
    EXPECT_EQ(widgets, f.rack->Model().Count());
    ASSERT_TRUE(f.rack->LoadRack(f.WriteRack(kSmallRack, "small.res")).Ok());
    EXPECT_EQ(f.rack->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 2u);
    EXPECT_FALSE(f.rack->Model().FindWritable("slider1"));
}

}  // namespace
}  // namespace korvane::racks::testing
