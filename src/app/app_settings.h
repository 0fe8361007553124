#pragma once

#include <QString>
#include <array>

namespace zelvan {

class ConfigFile;

// Keys of the configuration file.
namespace key {
inline const QString Dir = QStringLiteral("Dir");
inline const QString DB_Dir = QStringLiteral("DB_Dir");
inline const QString WinRar_Dir = QStringLiteral("WinRar_Dir");
inline const QString FTP_KOD_OBJ = QStringLiteral("FTP_KOD_OBJ");
inline const QString FTP_KOD_STAN = QStringLiteral("FTP_KOD_STAN");
inline const QString FTP_KOD_DANPER = QStringLiteral("FTP_KOD_DANPER");
inline const QString FTP_Directory = QStringLiteral("FTP_Directory");
inline const QString FTP_IP_Server = QStringLiteral("FTP_IP_Server");
inline const QString LocPeriod = QStringLiteral("LocPeriod");
// The FTP account and how to reach the server: the port when it is not 21, the account
// name and password, "1" for active instead of passive transfers, "1" for explicit TLS.
inline const QString FTP_Port = QStringLiteral("FTP_Port");
inline const QString FTP_User = QStringLiteral("FTP_User");
inline const QString FTP_Password = QStringLiteral("FTP_Password");
inline const QString FTP_Active = QStringLiteral("FTP_Active");
inline const QString FTP_TLS = QStringLiteral("FTP_TLS");
}  // namespace key

// The values of the configuration file, one text per key, empty when the key is
// missing. Read once at start-up; the settings dialog replaces them in memory.
// `LocPeriod` is not among them: the main window reads it from the file each time.
struct AppSettings {
    QString dir;
    QString dbDir;
    QString winRarDir;
    QString ftpKodObj;
    QString ftpKodStan;
    QString ftpKodDanper;
    QString ftpDirectory;
    QString ftpIpServer;
    QString ftpPort;
    QString ftpUser;
    QString ftpPassword;
    QString ftpActive;
    QString ftpTls;

    static AppSettings fromConfig(const ConfigFile& file);

    bool operator==(const AppSettings&) const = default;
};

// The seven values the settings dialog edits, in the order in which it writes them.
struct SettingsFields {
    QString dbDir;
    QString winRarDir;
    QString ftpKodObj;
    QString ftpKodStan;
    QString ftpKodDanper;
    QString ftpDirectory;
    QString ftpIpServer;
    QString ftpPort;
    QString ftpUser;
    QString ftpPassword;
    QString ftpActive;
    QString ftpTls;

    static SettingsFields fromSettings(const AppSettings& settings);
    std::array<std::pair<QString, QString>, 12> keyed() const;
    bool operator==(const SettingsFields&) const = default;
};

// Empty when the server field holds an acceptable value (nothing, an IPv4 address or a
// host name); otherwise the message that tells the user what is wrong.
QString checkServerAddress(const QString& text);
// The same for the server's port: nothing (21) or a number from 1 to 65535.
QString checkServerPort(const QString& text);

// Saves the settings dialog's fields: the configuration file is rewritten with the
// seven keys in their order (an empty field gives no line), followed by the lines of
// every other key the file held (`Dir`, `LocPeriod`, ...), which are kept. Only when
// the file is written are the in-memory settings replaced. Throws ZelvanError and
// changes nothing when the file cannot be written.
void saveSettings(const QString& configPath, const SettingsFields& fields, AppSettings& settings);

}  // namespace zelvan
