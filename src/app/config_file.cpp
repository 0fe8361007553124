#include "app/config_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/error.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace zelvan {

ConfigFile ConfigFile::fromBytes(const QByteArray& bytes) {
    ConfigFile file;
    const QString text = decodeCp1251(bytes);
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            file.lines_.append(line);
            line.clear();
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else {
            line.append(c);
        }
    }
    if (!line.isEmpty()) file.lines_.append(line);
    return file;
}

ConfigFile ConfigFile::load(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        throw ConfigError(QStringLiteral("Файл налаштувань \"%1\" не знайдено.")
                              .arg(QDir::toNativeSeparators(path)));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw ConfigError(QStringLiteral("Не вдалося прочитати файл налаштувань \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw ConfigError(QStringLiteral("Не вдалося прочитати файл налаштувань \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    // A zero byte never occurs in a text file of code page 1251: the file is damaged
    // or is something else, and its "values" must not be taken for settings.
    if (bytes.contains('\0')) {
        throw ConfigError(QStringLiteral("Файл налаштувань \"%1\" пошкоджено: це не текстовий файл.")
                              .arg(QDir::toNativeSeparators(path)));
    }
    return fromBytes(bytes);
}

int ConfigFile::indexOf(const QString& key) const {
    for (int i = 0; i < lines_.size(); ++i) {
        const QString& line = lines_.at(i);
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        if (QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

QString ConfigFile::value(const QString& key) const {
    const int i = indexOf(key);
    if (i < 0) return {};
    const QString& line = lines_.at(i);
    return line.mid(line.indexOf(u'=') + 1);
}

bool ConfigFile::contains(const QString& key) const { return indexOf(key) >= 0; }

void ConfigFile::setValue(const QString& key, const QString& value) {
    const int i = indexOf(key);
    if (value.isEmpty()) {
        if (i >= 0) lines_.removeAt(i);
        return;
    }
    if (i >= 0) {
        // The line keeps the key as it was written; only the value changes.
        const QString& line = lines_.at(i);
        lines_[i] = line.left(line.indexOf(u'=') + 1) + value;
    } else {
        lines_.append(key + u'=' + value);
    }
}

QByteArray ConfigFile::toBytes() const {
    QString text;
    for (const QString& line : lines_) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    const auto bytes = encodeCp1251(text);
    if (!bytes) {
        throw ConfigError(QStringLiteral(
            "Налаштування не збережено: значення містить символи, яких немає в кодовій "
            "сторінці Windows-1251. Оберіть папку, у назві якої лише українські або "
            "латинські літери, цифри та знаки."));
    }
    return *bytes;
}

void ConfigFile::save(const QString& path) const { writeFileAtomically(path, toBytes()); }

QString resolveConfigPath(const QString& programDir, const QString& userConfigDir) {
    const QString inProgramDir = QDir(programDir).filePath(kConfigFileName);
    if (QFileInfo::exists(inProgramDir)) return inProgramDir;
    const QFileInfo dirInfo(programDir);
    if (dirInfo.isDir() && dirInfo.isWritable()) return inProgramDir;
    return QDir(userConfigDir).filePath(kConfigFileName);
}

QString defaultConfigPath() {
    QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (userDir.isEmpty()) userDir = QDir::homePath() + QStringLiteral("/.config/zelvan");
    const QString path = resolveConfigPath(QCoreApplication::applicationDirPath(), userDir);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

}  // namespace zelvan
