#pragma once

#include <QDialog>

namespace korvane::workbench {

inline constexpr const char* kAboutTitle = "Korvane 2.0";

// The About window: a borderless box with a gradient, the product line and a Close button.
class TFrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane::workbench
