#pragma once

#include <QByteArray>
#include <QString>

namespace herbs {

// The one font of a document: it is set for Western, Asian and complex script alike, so the
// Chinese characters really appear in it (a word processor otherwise takes its own default
// font for Asian text).
struct DocumentFont {
    QString family;
    double points = 11;
    bool bold = false;
};

// An OpenDocument text package holding the text, one paragraph per line (lines split at CR LF,
// CR or LF), every paragraph in the font. Spaces and tabs are kept as typed; characters that
// XML cannot carry are left out.
QByteArray odtTextDocument(const QString &text, const DocumentFont &font);

} // namespace herbs
