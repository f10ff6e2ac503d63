#pragma once

#include <QDialog>

class QLabel;

namespace korvane::workbench {

inline constexpr const char* kAboutTitle = "Korvane 2.0";

// The About window: a borderless box with a gradient, the product line, the versions the
// program was built with, where its settings live, and a Close button.
class TFrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget* parent = nullptr);

    void SetSettingsPath(const QString& path);
    QString Details() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_details;
};

}  // namespace korvane::workbench
