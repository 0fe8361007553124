#pragma once

// Small stored (uncompressed) RAR 4 and RAR 5 archives for tests: nothing free creates
// RAR, so the tests write the format themselves.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace zelvan::test {

struct RarEntry {
    QString name;  // "/" between folders
    QByteArray data;
    bool directory = false;
};

inline quint32 crc32Of(const QByteArray& bytes) {
    static quint32 table[256] = {};
    if (table[1] == 0) {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

inline void putLE(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
}

// RAR 4: marker, archive header, a file header with its data per entry, end block.
inline QByteArray makeRar4(const std::vector<RarEntry>& entries) {
    QByteArray out = QByteArray::fromRawData("Rar!\x1a\x07\x00", 7);
    out.detach();
    const auto block = [&](QByteArray body) {  // body from HEAD_TYPE on
        QByteArray header;
        putLE(header, crc32Of(body) & 0xFFFF, 2);
        header += body;
        return header;
    };
    QByteArray main;
    putLE(main, 0x73, 1);
    putLE(main, 0, 2);
    putLE(main, 13, 2);
    putLE(main, 0, 2);
    putLE(main, 0, 4);
    out += block(main);
    for (const RarEntry& e : entries) {
        QByteArray name = e.name.toLatin1();
        name.replace('/', '\\');
        QByteArray head;
        putLE(head, 0x74, 1);
        putLE(head, 0x8000 | (e.directory ? 0x00E0 : 0), 2);
        putLE(head, 32 + name.size(), 2);
        putLE(head, e.data.size(), 4);      // packed size
        putLE(head, e.data.size(), 4);      // unpacked size
        putLE(head, 2, 1);                  // Windows
        putLE(head, crc32Of(e.data), 4);
        putLE(head, 0x5A210000u, 4);        // 2025-01-01 00:00 in DOS time
        putLE(head, 20, 1);                 // version 2.0 to unpack
        putLE(head, 0x30, 1);               // stored
        putLE(head, name.size(), 2);
        putLE(head, e.directory ? 0x10 : 0x20, 4);
        head += name;
        out += block(head);
        out += e.data;
    }
    QByteArray end;
    putLE(end, 0x7B, 1);
    putLE(end, 0x4000, 2);
    putLE(end, 7, 2);
    out += block(end);
    return out;
}

inline void putVint(QByteArray& out, quint64 value) {
    do {
        quint8 byte = value & 0x7F;
        value >>= 7;
        if (value) byte |= 0x80;
        out.append(char(byte));
    } while (value);
}

// RAR 5: signature, main header, a file header with its data per entry, end header.
inline QByteArray makeRar5(const std::vector<RarEntry>& entries) {
    QByteArray out = QByteArray::fromRawData("Rar!\x1a\x07\x01\x00", 8);
    out.detach();
    const auto block = [&](const QByteArray& body) {  // body from the header type on
        QByteArray sized;
        putVint(sized, quint64(body.size()));
        sized += body;
        QByteArray header;
        putLE(header, crc32Of(sized), 4);
        header += sized;
        return header;
    };
    QByteArray main;
    putVint(main, 1);  // main archive header
    putVint(main, 0);  // header flags
    putVint(main, 0);  // archive flags
    out += block(main);
    for (const RarEntry& e : entries) {
        const QByteArray name = e.name.toUtf8();
        QByteArray head;
        putVint(head, 2);                          // file header
        putVint(head, 0x0002);                     // a data area follows
        putVint(head, quint64(e.data.size()));     // its size
        putVint(head, e.directory ? 0x0001 : 0x0004);  // directory, or data CRC32 present
        putVint(head, quint64(e.data.size()));     // unpacked size
        putVint(head, e.directory ? 0x10 : 0x20);  // attributes
        if (!e.directory) putLE(head, crc32Of(e.data), 4);
        putVint(head, 0);                          // version 0, stored
        putVint(head, 0);                          // Windows
        putVint(head, quint64(name.size()));
        head += name;
        out += block(head);
        out += e.data;
    }
    QByteArray end;
    putVint(end, 5);
    putVint(end, 0);
    putVint(end, 0);
    out += block(end);
    return out;
}

}  // namespace zelvan::test
