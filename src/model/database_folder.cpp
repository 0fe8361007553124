#include "model/database_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <algorithm>

#include "app/error.h"
#include "model/schema.h"
#include "platform/database.h"
#include "platform/files.h"
#include "platform/report_engine.h"
#include "platform/zip_archive.h"

namespace zelvan {

namespace {

QString unescape(const QString& field) {
    if (!field.contains(u'\\')) return field;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c == u'\\' && i + 1 < field.size()) {
            const QChar next = field.at(++i);
            if (next == u't') out += u'\t';
            else if (next == u'n') out += u'\n';
            else out += next;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

void loadTableText(const Database& db, const QString& tableName, const QByteArray& text) {
    const TableDef* table = findTable(tableName);
    if (!table) throw ZelvanError(QStringLiteral("Невідома таблиця %1.").arg(tableName));

    QStringList lines = QString::fromUtf8(text).split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
    if (lines.isEmpty()) return;

    // Column names come from the table's own definition, never from the text.
    QStringList columns;
    for (const QString& name : lines.first().trimmed().split(u'\t')) {
        const QStringList known = table->columnNames();
        const auto it = std::find_if(known.begin(), known.end(), [&](const QString& column) {
            return column.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == known.end())
            throw ZelvanError(QStringLiteral("У таблиці %1 немає стовпця %2.").arg(table->name, name));
        columns << *it;
    }
    QStringList placeholders;
    for (qsizetype i = 0; i < columns.size(); ++i) placeholders << QStringLiteral("?");
    QSqlQuery insert = db.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                                      .arg(table->name, columns.join(u','), placeholders.join(u',')));
    for (qsizetype n = 1; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty()) continue;
        const QStringList fields = line.split(u'\t');
        if (fields.size() != columns.size()) {
            throw ZelvanError(QStringLiteral("Таблиця %1, рядок %2: %3 значень замість %4.")
                                  .arg(table->name).arg(n + 1).arg(fields.size()).arg(columns.size()));
        }
        for (qsizetype i = 0; i < fields.size(); ++i) {
            insert.bindValue(int(i), fields.at(i).isEmpty() ? QVariant() : QVariant(unescape(fields.at(i))));
        }
        Database::run(insert);
    }
}

void writeDemoTemplates(const QString& folder) {
    // Each form template is the shared package parts and its own main text.
    std::vector<ZipEntry> common;
    QDirIterator parts(QStringLiteral(":/demo/templates/common"), QDir::Files, QDirIterator::Subdirectories);
    while (parts.hasNext()) {
        const QString path = parts.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) throw ZelvanError(QStringLiteral("Не вдалося прочитати %1.").arg(path));
        common.push_back({path.mid(QStringLiteral(":/demo/templates/common/").size()), file.readAll()});
    }
    // The content types first, as Word writes them.
    std::sort(common.begin(), common.end(), [](const ZipEntry& a, const ZipEntry& b) { return a.name < b.name; });
    std::stable_partition(common.begin(), common.end(),
                          [](const ZipEntry& e) { return e.name == QStringLiteral("[Content_Types].xml"); });
    const QDir templates(QStringLiteral(":/demo/templates"));
    for (const QString& name : templates.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name == QStringLiteral("common")) continue;
        QFile main(templates.filePath(name + QStringLiteral("/word/document.xml")));
        if (!main.open(QIODevice::ReadOnly)) throw ZelvanError(QStringLiteral("Не вдалося прочитати шаблон %1.").arg(name));
        std::vector<ZipEntry> entries = common;
        entries.push_back({QStringLiteral("word/document.xml"), main.readAll()});
        writeFileAtomically(QDir(folder).filePath(name + QStringLiteral(".docx")), writeZip(entries));
    }
}

QString createDatabaseFolder(const QString& folder, bool withDemo) {
    if (fileExistsIgnoringCase(folder, kDatabaseFileName)) {
        throw ZelvanError(QStringLiteral("У папці \"%1\" уже є база даних; її не перезаписано.")
                              .arg(QDir::toNativeSeparators(folder)));
    }
    if (!QDir().mkpath(folder)) {
        throw ZelvanError(QStringLiteral("Не вдалося створити папку \"%1\".").arg(QDir::toNativeSeparators(folder)));
    }
    const QString path = QDir(folder).filePath(kDatabaseFileName);
    try {
        Database db(path, Database::Mode::Create);
        createSchema(db);
        if (withDemo) {
            db.transaction([&] {
                for (const TableDef& table : reportingTables()) {
                    QFile file(QStringLiteral(":/demo/%1.tsv").arg(table.name));
                    if (!file.exists()) continue;
                    if (!file.open(QIODevice::ReadOnly))
                        throw ZelvanError(QStringLiteral("Не вдалося прочитати демонстраційні дані %1.").arg(table.name));
                    loadTableText(db, table.name, file.readAll());
                }
            });
        }
        if (withDemo) writeDemoTemplates(folder);
        // The program's own report templates.
        writeFileAtomically(QDir(folder).filePath(QStringLiteral("SaveInt.frf")), defaultOneFormTemplate());
        writeFileAtomically(QDir(folder).filePath(QStringLiteral("SaveExtAll.frf")), defaultCrossFormTemplate());
    } catch (...) {
        // A half-made database must not be taken for a good one later.
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        throw;
    }
    return path;
}

}  // namespace zelvan
