#pragma once

// A real LibreOffice run headless with a profile of its own, to read back the documents the
// print hand-off writes. It never opens a window.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

class HeadlessOffice {
public:
    HeadlessOffice();

    // soffice on PATH, or empty when LibreOffice is not installed.
    static QString program();

    // Converts document with the filter (for example "txt:Text") into a fresh folder and
    // returns the bytes of the result; on failure returns nothing and explains in *error.
    QByteArray convert(const QString &document, const QString &filter, const QString &extension,
                       QString *error);

private:
    QTemporaryDir m_profile;
    QTemporaryDir m_output;
    int m_runs = 0;
};

// The font a stretch of text is set in, as a flat OpenDocument file declares it after style
// inheritance: family, size and weight for Western and for Asian (Chinese) script.
struct TextFont {
    QString where; // "paragraph 3" or "span in paragraph 3"
    QString family, familyAsian;
    QString size, sizeAsian;
    QString weight, weightAsian; // empty when no style sets it (the format's default, normal)
};

// One entry for every paragraph of the body and every span inside one.
QList<TextFont> bodyFonts(const QByteArray &flatDocument);
