// The instrument widgets: what the user's mouse does to them, and that they paint at any size.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "racks/ui/control_widget.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

struct TPanel : TRackFixture {
    TPanel() { EXPECT_TRUE(rack->LoadRack(WriteRack(kPanelRack)).Ok()); }
    TControlWidget* Widget(std::string_view name) { return rack->ControlWidget(IndexOf(name)); }
};

TEST(Widgets, SliderFollowsADrag) {
    TPanel p;
    TControlWidget* slider = p.Widget("slider1");  // vertical, 30 x 120
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(15, 118));
    EXPECT_EQ(p.Control("slider1").State().value, 0);
    QTest::mouseMove(slider, QPoint(15, 60));
    QMouseEvent move(QEvent::MouseMove, QPointF(15, 2), QPointF(15, 2), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &move);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(15, 2));
    EXPECT_EQ(p.Control("slider1").State().value, 100);
    QTest::mouseClick(p.Widget("track1"), Qt::LeftButton, {}, QPoint(75, 10));
    EXPECT_EQ(p.Control("track1").State().value, 15);  // the middle of 10..20
}

TEST(Widgets, ButtonsAndLampsToggleOnClick) {
    TPanel p;
    QTest::mouseClick(p.Widget("button1"), Qt::LeftButton, {}, QPoint(40, 20));
    EXPECT_TRUE(p.Control("button1").State().active);
    QTest::mouseClick(p.Widget("button1"), Qt::LeftButton, {}, QPoint(40, 20));
    EXPECT_FALSE(p.Control("button1").State().active);
    QTest::mouseClick(p.Widget("check1"), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(p.Control("check1").State().active);
    // A press that ends outside the button does not switch it.
    QTest::mousePress(p.Widget("button1"), Qt::LeftButton, {}, QPoint(40, 20));
    QTest::mouseRelease(p.Widget("button1"), Qt::LeftButton, {}, QPoint(400, 200));
    EXPECT_FALSE(p.Control("button1").State().active);
}

TEST(Widgets, SwitchTurnsToTheClickedPositionOrOnByOne) {
    TPanel p;
    TControlWidget* knob = p.Widget("switch1");                   // 60 x 60, four positions
    QTest::mouseClick(knob, Qt::LeftButton, {}, QPoint(58, 58));  // lower right: the last
    EXPECT_EQ(p.Control("switch1").State().value, 3);
    QTest::mouseClick(knob, Qt::LeftButton, {}, QPoint(30, 30));  // the knob: on by one, wrapping
    EXPECT_EQ(p.Control("switch1").State().value, 0);
    QTest::mouseClick(knob, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(p.Control("switch1").State().value, 1);
}

TEST(Widgets, SpinnerStepsItsCompanionWithinItsLimits) {
    TPanel p;
    EXPECT_EQ(p.Control("spin1").hint, "3");      // num1 is the fourth control
    TControlWidget* spinner = p.Widget("spin1");  // 16 x 30, num1 from -5 to 50 at 7
    QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(8, 5));
    QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(8, 5));
    EXPECT_EQ(p.Control("num1").State().value, 9);
    for (int i = 0; i < 20; ++i) QTest::mouseClick(spinner, Qt::LeftButton, {}, QPoint(8, 25));
    EXPECT_EQ(p.Control("num1").State().value, -5);
    auto run = p.Run("v = num1");
    EXPECT_EQ(run->GetVariable("v"), "-5");
}

TEST(Widgets, EditsMemosAndListsFeedTheirText) {
    TPanel p;
    auto* edit = p.Widget("edit1")->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, "volts");
    EXPECT_EQ(p.Control("edit1").State().text, "volts");
    auto* combo = p.Widget("combo1")->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    combo->showPopup();
    emit combo->activated(1);
    combo->hidePopup();
    EXPECT_EQ(p.Control("combo1").State().text, "beta");
    auto run = p.Run("t = ddown_gettext(\"combo1\")\ne = edit1");
    EXPECT_EQ(run->GetVariable("t"), "beta");
    EXPECT_EQ(run->GetVariable("e"), "volts");
    auto* memo = p.Widget("memo1")->findChild<QPlainTextEdit*>();
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->toPlainText(), "one\ntwo\n");
}

TEST(Widgets, MemoWritesScrollToTheEnd) {
    TPanel p;
    auto* memo = p.Widget("memo1")->findChild<QPlainTextEdit*>();
    ASSERT_NE(memo, nullptr);
    p.Run(
        "s = \"\"\nfor (i, 1, 200, 1)\ns = s & \"line \" & i & chr(13) & chr(10)\nnext\n"
        "memo1 = s & \"last\"");
    EXPECT_TRUE(memo->toPlainText().endsWith("line 200\nlast"));
    EXPECT_GT(memo->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
    EXPECT_EQ(memo->textCursor().position(), memo->toPlainText().size());
    EXPECT_EQ(p.Control("memo1").State().text.substr(0, 8), "line 1\r\n");
}

// Every class at tiny, ordinary and large sizes: nothing fails, and all but the empty
// picture and the transparent label leave marks on a plain background.
TEST(Widgets, EveryClassPaintsAtAnySize) {
    TPanel p;
    const QSize sizes[] = {{1, 1}, {3, 2}, {24, 16}, {160, 90}, {700, 300}};
    for (size_t i = 0; i < p.rack->Model().Count(); ++i) {
        TControlWidget* widget = p.rack->ControlWidget(i);
        const std::string& name = p.rack->Model().Control(i).Name();
        for (const QSize& size : sizes) {
            widget->resize(size);
            QImage image(size, QImage::Format_RGB32);
            image.fill(QColor(1, 2, 3));
            widget->render(&image);
            if (size.width() < 24 || name == "image1") continue;
            bool marked = false;
            for (int y = 0; y < image.height() && !marked; ++y) {
                for (int x = 0; x < image.width() && !marked; ++x) {
                    marked = image.pixel(x, y) != QColor(1, 2, 3).rgb();
                }
            }
            EXPECT_TRUE(marked) << name << " at " << size.width() << "x" << size.height();
        }
    }
}

TEST(Widgets, LcdShowsTheWholePanelStretched) {
    TPanel p;
    TControlWidget* lcd = p.Widget("lcd1");
    lcd->resize(120, 30);
    QImage image(120, 30, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    lcd->render(&image);
    // Bevel at the corner, grey-green panel in the middle: all of the picture is there.
    const QColor corner = image.pixelColor(0, 0);
    const QColor middle = image.pixelColor(60, 15);
    EXPECT_GT(corner.red(), 180);
    EXPECT_NEAR(corner.red(), corner.green(), 12);
    EXPECT_GT(middle.green(), middle.red());
    EXPECT_GT(middle.green(), middle.blue());
    EXPECT_NE(image.pixelColor(119, 29), QColor(Qt::magenta));
}

}  // namespace
}  // namespace korvane::racks::testing
