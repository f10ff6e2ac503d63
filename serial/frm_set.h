#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "serial/port_choice.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace korvane::serial {

// The "Port settings" dialog of setport: the openable ports and four line settings in
// editable lists. It checks nothing; Ok hands the five texts back as they stand, and the
// lists other than the port keep the user's last choice from one showing to the next.
class TFrmSet : public QDialog {
 public:
    explicit TFrmSet(QWidget* owner = nullptr);

    // Shows the dialog modally over `ports`; the choice when Ok closed it.
    std::optional<TPortChoice> Ask(const std::vector<std::string>& ports);

    // The steps of a showing, for Ask and for tests that drive the dialog without a loop.
    void FormShow(const std::vector<std::string>& ports);
    void Button1Click();
    TPortChoice Choices() const;

    QComboBox* ComboBox(int index) const { return m_boxes[static_cast<std::size_t>(index - 1)]; }
    QPushButton* Button1() const { return m_button; }

 private:
    void AddRow(QGridLayout* rows, int row, const char* label, const QStringList& items,
                const QString& initial);

    std::vector<QComboBox*> m_boxes;  // ComboBox1 .. ComboBox5
    QPushButton* m_button = nullptr;
    std::optional<TPortChoice> m_choice;
};

}  // namespace korvane::serial
