#include "herbs/odt_document.h"
#include "herbs/odt_zip.h"

#include <gtest/gtest.h>

TEST(PrintDocumentPackage, ChecksumsAndTheMimeTypeEntryFollowTheFormat)
{
    // The standard check value of the zip checksum.
    EXPECT_EQ(herbs::crc32(QByteArrayLiteral("123456789")), 0xcbf43926u);
    EXPECT_EQ(herbs::crc32(QByteArray()), 0u);

    // Desktops recognise an OpenDocument file by its first entry, "mimetype", stored
    // uncompressed without extra field, so its text stands at byte 38.
    const QByteArray package = herbs::odtTextDocument(QStringLiteral("药材名称：人参。"), {QStringLiteral("宋体"), 11, false});
    ASSERT_GT(package.size(), 80);
    EXPECT_TRUE(package.startsWith(QByteArrayLiteral("PK\x03\x04")));
    EXPECT_EQ(package.mid(8, 2), QByteArray(2, '\0')) << "method must be stored";
    EXPECT_EQ(package.mid(28, 2), QByteArray(2, '\0')) << "no extra field";
    EXPECT_EQ(package.mid(30, 47), QByteArrayLiteral("mimetypeapplication/vnd.oasis.opendocument.text"));
    // The end-of-directory record closes the archive.
    EXPECT_EQ(package.mid(package.size() - 22, 4), QByteArrayLiteral("PK\x05\x06"));
}
