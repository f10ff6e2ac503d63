#include "serial/frm_set.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace korvane::serial {

namespace {

constexpr int kBoxWidth = 73;
constexpr int kBoxHeight = 21;
constexpr int kRowStep = 24;

std::string Text(const QComboBox* box) { return box->currentText().toLatin1().toStdString(); }

}  // namespace

TFrmSet::TFrmSet(QWidget* owner) : QDialog(owner) {
    setObjectName("FrmSet");
    setWindowTitle("Port settings");
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);
    move(225, 167);
    // The window is 178 x 210 with its frame; this is what lies inside an ordinary frame.
    setFixedSize(170, 183);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 153, 169);

    AddRow(panel, 0, "Serial port :", {}, {});
    AddRow(panel, 1, "Baudrate :",
           {"110", "300", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600",
            "115200"},
           "9600");
    AddRow(panel, 2, "Databits :", {"8", "7"}, "8");
    AddRow(panel, 3, "Parity :", {"none", "even", "odd", "mark", "space"}, "none");
    AddRow(panel, 4, "Stopbits :", {"1", "1.5", "2"}, "1");

    m_button = new QPushButton("Ok", panel);
    m_button->setObjectName("Button1");
    m_button->setGeometry(40, 136, 75, 25);
    connect(m_button, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TFrmSet::AddRow(QFrame* panel, int row, const char* label, const QStringList& items,
                     const QString& initial) {
    const int number = row + 1;
    auto* caption = new QLabel(label, panel);
    caption->setObjectName(QString("Label%1").arg(number));
    caption->move(8, 16 + row * kRowStep);
    auto* box = new QComboBox(panel);
    box->setObjectName(QString("ComboBox%1").arg(number));
    box->setEditable(true);
    box->addItems(items);
    box->setCurrentText(initial);
    box->setGeometry(64, 8 + row * kRowStep, kBoxWidth, kBoxHeight);
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
