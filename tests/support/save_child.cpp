// A child process for the interrupted-save test: opens form 1 of the database folder
// given, types a new value into every open cell and saves; partway through the inserts
// it tells its parent and waits to be killed.
#include <QCoreApplication>
#include <QThread>
#include <cstdio>

#include "app/environment.h"
#include "app/prompter.h"
#include "entry/form_entry.h"
#include "model/tdm.h"

namespace {

class Silent final : public zelvan::Prompter {
public:
    void message(zelvan::MessageKind, const QString&) override {}
    void errorWithYesButton(const QString&) override {}
    bool question(zelvan::MessageKind, const QString&, const QString&) override { return true; }
    int styledMessage(const QString&, zelvan::TMsgDlgType, zelvan::TMsgDlgButtons, const zelvan::TMsgDlgStyle&) override {
        return zelvan::mr::Yes;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    zelvan::TDM dm;
    dm.pointAt(QString::fromLocal8Bit(argv[1]));
    dm.probe();
    zelvan::UserLocale locale;
    zelvan::FormEntry entry(dm, locale, {});
    const zelvan::ValueKeys keys{1, 41, 7, 1, 10, 20, 30, 40};
    entry.build({1, QStringLiteral("1"), QStringLiteral("Велика")}, keys);
    for (int c = 1; c < entry.grid().colCount(); ++c)
        for (int r = 1; r < entry.grid().rowCount(); ++r)
            if (entry.grid().isOpen(c, r)) entry.grid().setText(c, r, QStringLiteral("5"));
    entry.afterInsert = [](int stored) {
        if (stored == 1000) {
            std::puts("inserting");
            std::fflush(stdout);
            QThread::sleep(30);
        }
    };
    Silent prompter;
    entry.save(keys, prompter);
    std::puts("saved");
    return 0;
}
