#include "app/app_state.h"

#include <QDir>
#include <QStandardPaths>

namespace zelvan {

QString AppState::filledDocumentsFolder() const {
    if (!filledDocumentsDir.isEmpty()) return filledDocumentsDir;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("Заповнені форми"));
}

}  // namespace zelvan
