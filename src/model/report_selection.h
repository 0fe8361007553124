#pragma once

#include <QDate>
#include <QString>

namespace zelvan {

// The current selection, held by the main window: what the entry window, the
// controls, the reports and the Word template work on.
struct ReportSelection {
    int kodDanper = 0;       // structure period (first row of DANPER)
    QDate danperStart;       // its first day
    QString locPeriod;       // the local reporting period text
    int kodTypeZvitnost = 0;  // 1 budget, in hryvnias; 2 self-supporting, in thousands
    int kodObj = 0;          // organisation
    int kodStan = 0;         // state of the organisation
    int kodForm = 0;         // the chosen form
    QString nomerForm;
    QString nameForm;
    int kodK = 0;  // expense code key
    int kodF = 0;  // fund kind key
    int kodZ = 0;  // order kind key
    int kodG = 0;  // kind of funds key
};

// The keys under which one form's values are stored for one selection.
struct ValueKeys {
    int kodForm = 0;
    int kodDanper = 0;
    int kodObj = 0;
    int kodStan = 0;
    int kodK = 0;
    int kodF = 0;
    int kodZ = 0;
    int kodG = 0;
};

}  // namespace zelvan
