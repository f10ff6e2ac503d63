#include "serial/frm_set.h"

#include <gtest/gtest.h>

#include <QComboBox>
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
        EXPECT_EQ(box->size(), QSize(73, 21));
        EXPECT_EQ(Items(box), row.items);
        EXPECT_EQ(box->currentText(), row.initial);
        auto* label = dialog.findChild<QLabel*>(QString("Label%1").arg(row.box));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), row.label);
        EXPECT_EQ(box->parentWidget()->objectName(), "Panel1");
    }
    EXPECT_EQ(dialog.Button1()->text(), "Ok");
    EXPECT_EQ(dialog.Button1()->geometry(), QRect(40, 136, 75, 25));
    auto* panel = dialog.findChild<QFrame*>("Panel1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(8, 8, 153, 169));
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
