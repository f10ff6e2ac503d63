#pragma once

#include <QObject>

class QSocketNotifier;

namespace korvane::workbench {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so the workbench can
// keep unsaved text and write its settings before it ends. One may exist at a time.
class TSignalWatch : public QObject {
    Q_OBJECT

public:
    explicit TSignalWatch(QObject* parent = nullptr);
    ~TSignalWatch() override;
    // False when the handlers could not be installed (the signals then end the program).
    bool Installed() const { return m_notifier != nullptr; }

signals:
    void Caught(int signalNumber);

private:
    void ReadPending();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace korvane::workbench
