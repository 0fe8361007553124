#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace zelvan {

// The source of the current time; injected so that tests never depend on the clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The user's number and date settings: the decimal separator that typed numbers and
// shown values use, and the short date format in which stored dates are shown.
// Injected so that nothing depends on the locale of the machine running the tests.
struct UserLocale {
    QChar decimalSeparator = u'.';
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy");

    // The settings of the user's own locale.
    static UserLocale system();

    QString formatDate(const QDate& date) const;
    // Reads a date typed or shown in the short date format; an invalid date when it is not one.
    QDate parseDate(const QString& text) const;
};

// Stored dates are ISO texts (YYYY-MM-DD) in the database.
QString isoDate(const QDate& date);
QDate fromIsoDate(const QString& text);

}  // namespace zelvan
