#include "serial/frm_set.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane::serial {

namespace {

constexpr int kBoxWidth = 73;
constexpr int kBoxHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;
constexpr int kCaptionButtonsRoom = 110;

std::string Text(const QComboBox* box) { return box->currentText().toLatin1().toStdString(); }

}  // namespace

TFrmSet::TFrmSet(QWidget* owner) : QDialog(owner) {
    setObjectName("FrmSet");
    setWindowTitle("Port settings");
    // Terminal and rack windows may stay on top; a modal dialog under them could not be
    // reached, so this one stays on top as well. Only a close button, as dialogs have, leaves
    // the title room in the frame.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);
    move(225, 167);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Laid out rather than placed, so labels are as wide as the desktop's font needs.
    auto* rows = new QGridLayout(panel);
    rows->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    rows->setHorizontalSpacing(kMargin);

    AddRow(rows, 0, "Serial port :", {}, {});
    AddRow(rows, 1, "Baudrate :",
           {"110", "300", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600",
            "115200"},
           "9600");
    AddRow(rows, 2, "Databits :", {"8", "7"}, "8");
    AddRow(rows, 3, "Parity :", {"none", "even", "odd", "mark", "space"}, "none");
    AddRow(rows, 4, "Stopbits :", {"1", "1.5", "2"}, "1");

    m_button = new QPushButton("Ok", panel);
    m_button->setObjectName("Button1");
    m_button->setMinimumSize(kButtonWidth, kButtonHeight);
    rows->addWidget(m_button, 5, 0, 1, 2, Qt::AlignHCenter);
    connect(m_button, &QPushButton::clicked, this, [this] { Button1Click(); });

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->addWidget(panel);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough for the caption in the frame's font, beside the frame's buttons.
    QFont captionFont = QApplication::font();
    captionFont.setBold(true);
    const int captionWidth = QFontMetrics(captionFont).horizontalAdvance(windowTitle());
    panel->setMinimumWidth(captionWidth + kCaptionButtonsRoom);
}

void TFrmSet::AddRow(QGridLayout* rows, int row, const char* label, const QStringList& items,
                     const QString& initial) {
    const int number = row + 1;
    auto* caption = new QLabel(label);
    caption->setObjectName(QString("Label%1").arg(number));
    auto* box = new QComboBox;
    box->setObjectName(QString("ComboBox%1").arg(number));
    box->setEditable(true);
    box->addItems(items);
    box->setCurrentText(initial);
    box->setMinimumSize(kBoxWidth, kBoxHeight);
    caption->setBuddy(box);
    rows->addWidget(caption, row, 0);
    rows->addWidget(box, row, 1);
    m_boxes.push_back(box);
}

std::optional<TPortChoice> TFrmSet::Ask(const std::vector<std::string>& ports) {
    m_choice.reset();
    FormShow(ports);
    exec();
    return m_choice;
}

void TFrmSet::FormShow(const std::vector<std::string>& ports) {
    QComboBox* portBox = ComboBox(1);
    portBox->clear();
    for (const std::string& port : ports) portBox->addItem(QString::fromLatin1(port.c_str()));
    if (!ports.empty()) portBox->setCurrentIndex(0);
}

void TFrmSet::Button1Click() {
    m_choice = Choices();
    accept();
}

TPortChoice TFrmSet::Choices() const {
    return {Text(ComboBox(1)), Text(ComboBox(2)), Text(ComboBox(3)), Text(ComboBox(4)),
            Text(ComboBox(5))};
}

}  // namespace korvane::serial
