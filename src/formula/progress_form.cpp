#include "formula/progress_form.h"

#include <QApplication>

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/environment.h"
#include "formula/controls.h"

namespace zelvan {

QString elapsedText(qint64 seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

TfmProgress::TfmProgress(const Clock& clock, const QDateTime& start, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Progress(new QProgressBar(this)),
      laClock(new QLabel(this)),
      laTime(new QLabel(QStringLiteral("0:00:00"), this)),
      laTotal(new QLabel(QStringLiteral("0:00:00"), this)),
      clock_(clock),
      start_(start),
      ticker_(new QTimer(this)) {
    setObjectName(QStringLiteral("fmProgress"));
    setWindowTitle(QStringLiteral("Розрахунок  (Esc-вихід)"));
    Progress->setObjectName(QStringLiteral("Progress"));
    laTime->setObjectName(QStringLiteral("laTime"));
    Progress->setMinimum(0);
    auto* time = new QGroupBox(QStringLiteral("Час"), this);
    auto* grid = new QGridLayout(time);
    grid->addWidget(new QLabel(QStringLiteral("Поточний час :"), time), 0, 0);
    grid->addWidget(laClock, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Розрахунок :"), time), 1, 0);
    grid->addWidget(laTime, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Час розрахунка :"), time), 2, 0);
    grid->addWidget(laTotal, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Progress);
    layout->addWidget(time);
    setMinimumWidth(320);
    const auto tick = [this] { laClock->setText(clock_.now().time().toString(QStringLiteral("H:mm:ss"))); };
    tick();
    connect(ticker_, &QTimer::timeout, this, tick);
    ticker_->start(1000);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfmProgress::setMaximum(int maximum) { Progress->setMaximum(maximum < 0 ? 0 : maximum); }

void TfmProgress::setPosition(int position) { Progress->setValue(position); }

void TfmProgress::showElapsed() { laTime->setText(elapsedText(start_.secsTo(clock_.now()))); }

void TfmProgress::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        RunContinues = false;
        event->accept();
        return;
    }
    event->accept();  // other keys do nothing
}

ControlProgress progressInWindow(std::unique_ptr<TfmProgress>& window, const Clock& clock, const QDateTime& start,
                                 QWidget* parent) {
    ControlProgress progress;
    progress.start = [&window, &clock, start, parent](int maximum) {
        window = std::make_unique<TfmProgress>(clock, start, parent);
        window->setMaximum(maximum);
        window->show();
        QApplication::processEvents();
    };
    progress.step = [&window](int processed) {
        if (window) {
            window->setPosition(processed);
            window->showElapsed();
        }
        // Esc in the window is seen here and clears RunContinues.
        QApplication::processEvents();
        return RunContinues;
    };
    return progress;
}

}  // namespace zelvan
