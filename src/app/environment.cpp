#include "app/environment.h"

#include <QLocale>

namespace zelvan {

UserLocale UserLocale::system() {
    const QLocale locale = QLocale::system();
    UserLocale result;
    // Without a language of its own the system gives English month names; keep the
    // numeric day.month.year the users know.
    if (locale.language() == QLocale::C) return result;
    const QString point = locale.decimalPoint();
    result.decimalSeparator = point.isEmpty() ? QChar(u'.') : point.front();
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // A two-digit year is ambiguous for reporting dates; always show four digits.
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    result.shortDateFormat = format;
    return result;
}

QString UserLocale::formatDate(const QDate& date) const {
    return date.isValid() ? date.toString(shortDateFormat) : QString();
}

QDate UserLocale::parseDate(const QString& text) const {
    return QDate::fromString(text.trimmed(), shortDateFormat);
}

QString isoDate(const QDate& date) { return date.toString(Qt::ISODate); }

QDate fromIsoDate(const QString& text) { return QDate::fromString(text.left(10), Qt::ISODate); }

}  // namespace zelvan
