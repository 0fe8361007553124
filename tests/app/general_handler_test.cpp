#include <gtest/gtest.h>

#include <QPushButton>
#include <QStringList>

#include "app/error.h"
#include "app/zelvan_application.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

struct Recording {
    QStringList texts;
    Recording() {
        general_handler::setReporter([this](const QString& text) { texts << text; });
    }
    ~Recording() { general_handler::setReporter([](const QString&) {}); }
};

}  // namespace

TEST(GeneralHandler, ShowsTheTextAndStopsOnlyTheFailingHandler) {
    Recording recording;
    QStringList steps;
    const bool ok = general_handler::run([&] {
        steps << QStringLiteral("before");
        throw DatabaseError(QStringLiteral("Помилка бази даних: no such table: SORG"));
        steps << QStringLiteral("after");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(steps, QStringList{QStringLiteral("before")});
    EXPECT_EQ(recording.texts, QStringList{QStringLiteral("Помилка бази даних: no such table: SORG")});

    EXPECT_TRUE(general_handler::run([&] { steps << QStringLiteral("next"); }));
    EXPECT_EQ(steps.last(), QStringLiteral("next"));
}

TEST(GeneralHandler, ForeignExceptionsAreReportedToo) {
    Recording recording;
    general_handler::run([] { throw std::runtime_error("disk full"); });
    general_handler::run([] { throw 42; });
    EXPECT_EQ(recording.texts, (QStringList{QStringLiteral("disk full"), QStringLiteral("Невідома помилка.")}));
}
