#include "app/app_settings.h"

#include <QFileInfo>
#include <algorithm>
#include <QRegularExpression>

#include "app/config_file.h"
#include "app/error.h"

namespace zelvan {

AppSettings AppSettings::fromConfig(const ConfigFile& file) {
    AppSettings s;
    s.dir = file.value(key::Dir);
    s.dbDir = file.value(key::DB_Dir);
    s.winRarDir = file.value(key::WinRar_Dir);
    s.ftpKodObj = file.value(key::FTP_KOD_OBJ);
    s.ftpKodStan = file.value(key::FTP_KOD_STAN);
    s.ftpKodDanper = file.value(key::FTP_KOD_DANPER);
    s.ftpDirectory = file.value(key::FTP_Directory);
    s.ftpIpServer = file.value(key::FTP_IP_Server);
    s.ftpPort = file.value(key::FTP_Port);
    s.ftpUser = file.value(key::FTP_User);
    s.ftpPassword = file.value(key::FTP_Password);
    s.ftpActive = file.value(key::FTP_Active);
    s.ftpTls = file.value(key::FTP_TLS);
    return s;
}

SettingsFields SettingsFields::fromSettings(const AppSettings& s) {
    return {s.dbDir,       s.winRarDir, s.ftpKodObj, s.ftpKodStan,   s.ftpKodDanper, s.ftpDirectory,
            s.ftpIpServer, s.ftpPort,   s.ftpUser,   s.ftpPassword, s.ftpActive,    s.ftpTls};
}

std::array<std::pair<QString, QString>, 12> SettingsFields::keyed() const {
    return {{{key::DB_Dir, dbDir},
             {key::WinRar_Dir, winRarDir},
             {key::FTP_KOD_OBJ, ftpKodObj},
             {key::FTP_KOD_STAN, ftpKodStan},
             {key::FTP_KOD_DANPER, ftpKodDanper},
             {key::FTP_Directory, ftpDirectory},
             {key::FTP_IP_Server, ftpIpServer},
             {key::FTP_Port, ftpPort},
             {key::FTP_User, ftpUser},
             {key::FTP_Password, ftpPassword},
             {key::FTP_Active, ftpActive},
             {key::FTP_TLS, ftpTls}}};
}

QString checkServerAddress(const QString& text) {
    const QString address = text.trimmed();
    if (address.isEmpty()) return {};
    static const QRegularExpression ipv4(QStringLiteral(R"(^(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})$)"));
    const QString message = QStringLiteral(
        "Адреса сервера \"%1\" неправильна. Вкажіть IPv4-адресу (наприклад, 10.0.5.120) "
        "або ім'я сервера (наприклад, ftp.example.ua).");
    if (const auto m = ipv4.match(address); m.hasMatch()) {
        for (int i = 1; i <= 4; ++i) {
            if (m.captured(i).toInt() > 255) return message.arg(address);
        }
        return {};
    }
    // A host name: labels of letters, digits and hyphens, not starting or ending with
    // a hyphen, 63 characters at most each, 253 in all; the last label not all digits.
    static const QRegularExpression label(QStringLiteral(R"(^[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?$)"));
    if (address.size() > 253) return message.arg(address);
    const QStringList labels = address.split(u'.');
    for (const QString& part : labels) {
        if (!label.match(part).hasMatch()) return message.arg(address);
    }
    static const QRegularExpression digits(QStringLiteral(R"(^\d+$)"));
    if (digits.match(labels.last()).hasMatch()) return message.arg(address);
    return {};
}

QString checkServerPort(const QString& text) {
    const QString port = text.trimmed();
    if (port.isEmpty()) return {};
    bool ok = false;
    const int number = port.toInt(&ok);
    if (ok && number >= 1 && number <= 65535) return {};
    return QStringLiteral("Порт сервера \"%1\" неправильний: потрібне число від 1 до 65535 (звичайно 21).").arg(port);
}

void saveSettings(const QString& configPath, const SettingsFields& typed, AppSettings& settings) {
    // Blanks around a folder, a code or an address are never meant.
    SettingsFields fields = typed;
    for (QString* value : {&fields.dbDir, &fields.winRarDir, &fields.ftpKodObj, &fields.ftpKodStan,
                           &fields.ftpKodDanper, &fields.ftpDirectory, &fields.ftpIpServer, &fields.ftpPort,
                           &fields.ftpUser})
        *value = value->trimmed();
    if (const QString problem = checkServerAddress(fields.ftpIpServer); !problem.isEmpty())
        throw ZelvanError(problem);
    if (const QString problem = checkServerPort(fields.ftpPort); !problem.isEmpty()) throw ZelvanError(problem);

    ConfigFile written;
    const auto keyed = fields.keyed();
    for (const auto& [name, value] : keyed) written.setValue(name, value);

    // Lines of the keys the dialog does not edit stay in the file.
    if (QFileInfo::exists(configPath)) {
        ConfigFile previous;
        try {
            previous = ConfigFile::load(configPath);
        } catch (const ConfigError&) {
            // A damaged file has nothing worth keeping; it is replaced whole.
        }
        for (const QString& line : previous.lines()) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0) continue;
            const QString lineKey = line.left(eq);
            const bool edited = std::any_of(keyed.begin(), keyed.end(), [&](const auto& entry) {
                return entry.first.compare(lineKey, Qt::CaseInsensitive) == 0;
            });
            if (!edited && !written.contains(lineKey)) written.setValue(lineKey, line.mid(eq + 1));
        }
    }
    written.save(configPath);

    settings.dbDir = fields.dbDir;
    settings.winRarDir = fields.winRarDir;
    settings.ftpKodObj = fields.ftpKodObj;
    settings.ftpKodStan = fields.ftpKodStan;
    settings.ftpKodDanper = fields.ftpKodDanper;
    settings.ftpDirectory = fields.ftpDirectory;
    settings.ftpIpServer = fields.ftpIpServer;
    settings.ftpPort = fields.ftpPort;
    settings.ftpUser = fields.ftpUser;
    settings.ftpPassword = fields.ftpPassword;
    settings.ftpActive = fields.ftpActive;
    settings.ftpTls = fields.ftpTls;
}

}  // namespace zelvan
