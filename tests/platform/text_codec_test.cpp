#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "support/printers.h"

using namespace zelvan;

TEST(TextCodec, UkrainianLettersTakeTheirCodePage1251Bytes) {
    const QString text = QStringLiteral("ЄІЇҐєіїґ Папка з БД");
    const auto bytes = encodeCp1251(text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->left(8), QByteArray("\xAA\xB2\xAF\xA5\xBA\xB3\xBF\xB4"));
    EXPECT_EQ(decodeCp1251(*bytes), text);
}

TEST(TextCodec, EveryDefinedByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;  // the one byte code page 1251 leaves undefined
        all.append(char(b));
    }
    const auto back = encodeCp1251(decodeCp1251(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(TextCodec, TextOutsideTheCodePageIsRefusedNotDamaged) {
    EXPECT_FALSE(encodeCp1251(QStringLiteral("папка 中文")).has_value());
    EXPECT_FALSE(encodeCp1251(QStringLiteral("ẞ")).has_value());
}
