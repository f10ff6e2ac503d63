#pragma once

#include "racks/ui/control_widget.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace korvane::racks {

// TEdit, TMemo and TComboBox are the desktop's own edit, multi-line edit and drop-down list,
// coloured as the rack file says. What the user types goes straight into the control's text.
class TEditWidget : public TControlWidget {
 public:
    TEditWidget(TRackControl& control, QWidget* parent);
    void ShowState() override;

 private:
    QLineEdit* m_edit;
};

// A script's write replaces the memo's text, scrolls to its last line and puts the caret at
// the end.
class TMemoWidget : public TControlWidget {
 public:
    TMemoWidget(TRackControl& control, QWidget* parent);
    void ShowState() override;

 private:
    QPlainTextEdit* m_memo;
    bool m_syncing = false;
};

class TComboWidget : public TControlWidget {
 public:
    TComboWidget(TRackControl& control, QWidget* parent);
    void ShowState() override;

 private:
    QComboBox* m_combo;
    bool m_syncing = false;
};

}  // namespace korvane::racks
