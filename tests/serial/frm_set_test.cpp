#include "serial/frm_set.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QApplication>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace korvane::serial {
namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

TEST(FrmSet, ControlsListsAndDefaults) {
    TFrmSet dialog;
    EXPECT_EQ(dialog.windowTitle(), "Port settings");
    const struct {
        int box;
        QString label;
        QStringList items;
        QString initial;
    } rows[] = {
        {1, "Serial port :", {}, ""},
        {2,
         "Baudrate :",
         {"110", "300", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600",
          "115200"},
         "9600"},
        {3, "Databits :", {"8", "7"}, "8"},
        {4, "Parity :", {"none", "even", "odd", "mark", "space"}, "none"},
        {5, "Stopbits :", {"1", "1.5", "2"}, "1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.box);
        QComboBox* box = dialog.ComboBox(row.box);
        EXPECT_EQ(box->objectName(), QString("ComboBox%1").arg(row.box));
        EXPECT_TRUE(box->isEditable());
        EXPECT_EQ(box->minimumSize(), QSize(73, 21));
        EXPECT_EQ(Items(box), row.items);
        EXPECT_EQ(box->currentText(), row.initial);
        auto* label = dialog.findChild<QLabel*>(QString("Label%1").arg(row.box));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), row.label);
        EXPECT_EQ(box->parentWidget()->objectName(), "Panel1");
    }
    EXPECT_EQ(dialog.Button1()->text(), "Ok");
    EXPECT_EQ(dialog.Button1()->parentWidget()->objectName(), "Panel1");
}

// Laid out for the font at hand: every label shows its whole text, left of its box, the rows
// run from top to bottom in their order and the Ok button sits below them.
TEST(FrmSet, NothingIsClippedOrOverlaps) {
    for (int pixels : {11, 16, 24}) {
        SCOPED_TRACE(pixels);
        TFrmSet dialog;
        QFont font = dialog.font();
        font.setPixelSize(pixels);
        dialog.setFont(font);
        dialog.show();
        QCoreApplication::processEvents();
        int previousBottom = 0;
        for (int row = 1; row <= 5; ++row) {
            SCOPED_TRACE(row);
            auto* label = dialog.findChild<QLabel*>(QString("Label%1").arg(row));
            QComboBox* box = dialog.ComboBox(row);
            const QRect text = label->fontMetrics().boundingRect(label->text());
            EXPECT_LE(text.width(), label->contentsRect().width());
            EXPECT_LE(label->fontMetrics().height(), label->contentsRect().height());
            EXPECT_LE(label->geometry().right(), box->geometry().left());
            EXPECT_GE(box->width(), 73);
            EXPECT_GE(box->height(), 21);
            EXPECT_GE(std::min(label->geometry().top(), box->geometry().top()), previousBottom);
            previousBottom = std::max(label->geometry().bottom(), box->geometry().bottom());
            EXPECT_TRUE(dialog.rect().contains(box->mapTo(&dialog, box->rect().bottomRight())));
        }
        EXPECT_GT(dialog.Button1()->geometry().top(), previousBottom);
        const QPushButton* ok = dialog.Button1();
        EXPECT_GE(ok->width(), ok->fontMetrics().horizontalAdvance(ok->text()));
        EXPECT_TRUE(dialog.rect().contains(ok->mapTo(&dialog, ok->rect().bottomRight())));
        dialog.hide();
    }
}

// Terminal windows may stay on top; the modal dialog must not open under them.
TEST(FrmSet, StaysAboveStayOnTopWindows) {
    TFrmSet dialog;
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dialog.windowType(), Qt::Dialog);
    // The caption needs room in the frame beside its close button.
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
    dialog.show();
    QCoreApplication::processEvents();
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GT(dialog.width(), QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 100);
}

TEST(FrmSet, OkHandsBackTheTextsAsTheyStand) {
    TFrmSet dialog;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.ComboBox(2)->setCurrentText("250000");  // typed, not in the list
        dialog.ComboBox(4)->setCurrentText("odd");
        dialog.Button1()->click();
    });
    const std::optional<TPortChoice> choice = dialog.Ask({"com3", "com4"});
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(*choice, (TPortChoice{"com3", "250000", "8", "odd", "1"}));

    // The boxes other than the port keep the last choice; the port list is filled afresh.
    QTimer::singleShot(0, &dialog, [&] { dialog.Button1()->click(); });
    EXPECT_EQ(dialog.Ask({"com7"}), (TPortChoice{"com7", "250000", "8", "odd", "1"}));
    EXPECT_EQ(Items(dialog.ComboBox(1)), QStringList{"com7"});
}

TEST(FrmSet, WithNoFreePortThePortBoxStaysEmpty) {
    TFrmSet dialog;
    dialog.FormShow({"com1"});
    dialog.FormShow({});
    EXPECT_EQ(dialog.ComboBox(1)->count(), 0);
    EXPECT_EQ(dialog.Choices().port, "");
}

TEST(FrmSet, ClosingWithoutOkChoosesNothing) {
    TFrmSet dialog;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.ComboBox(2)->setCurrentText("300");
        dialog.close();
    });
    EXPECT_EQ(dialog.Ask({"com1"}), std::nullopt);
}

}  // namespace
}  // namespace korvane::serial
