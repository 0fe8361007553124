#pragma once

#include <QDateTime>
#include <QDialog>
#include <memory>

#include "formula/controls.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace zelvan {

class Clock;

// The progress window of a control run: the gauge, the current time, the elapsed time;
// Esc clears RunContinues.
class TfmProgress : public QDialog {
    Q_OBJECT
public:
    TfmProgress(const Clock& clock, const QDateTime& start, QWidget* parent = nullptr);

    void setMaximum(int maximum);
    void setPosition(int position);
    // Shows the time since the start of the run in laTime.
    void showElapsed();

    QProgressBar* Progress;
    QLabel* laClock;
    QLabel* laTime;
    QLabel* laTotal;

protected:
    void keyPressEvent(QKeyEvent* event) override;  // FormKeyDown

private:
    const Clock& clock_;
    QDateTime start_;
    QTimer* ticker_;
};

// The progress of a control run shown in a progress window, made into `window` when the
// run starts (so the caller decides when it goes away) and kept painting after each step.
ControlProgress progressInWindow(std::unique_ptr<TfmProgress>& window, const Clock& clock, const QDateTime& start,
                                 QWidget* parent = nullptr);

// "H:mm:ss" of a number of seconds.
QString elapsedText(qint64 seconds);

}  // namespace zelvan
