#include "herbs/odt_document.h"

#include "herbs/odt_namespaces.h"
#include "herbs/odt_zip.h"
#include "herbs/print_text.h"

#include <QXmlStreamWriter>

namespace herbs {
namespace {

using namespace herbs::odt;

const QString kVersion = QStringLiteral("1.2");
const QString kMimeType = QStringLiteral("application/vnd.oasis.opendocument.text");
const QString kParagraphStyle = QStringLiteral("Standard");

void startDocument(QXmlStreamWriter &xml, const QString &root)
{
    xml.setAutoFormatting(false);
    xml.writeNamespace(kOffice, QStringLiteral("office"));
    xml.writeNamespace(kStyle, QStringLiteral("style"));
    xml.writeNamespace(kText, QStringLiteral("text"));
    xml.writeNamespace(kFo, QStringLiteral("fo"));
    xml.writeNamespace(kSvg, QStringLiteral("svg"));
    xml.writeStartDocument();
    xml.writeStartElement(kOffice, root);
    xml.writeAttribute(kOffice, QStringLiteral("version"), kVersion);
}

void writeFontFace(QXmlStreamWriter &xml, const DocumentFont &font)
{
    xml.writeStartElement(kOffice, QStringLiteral("font-face-decls"));
    xml.writeEmptyElement(kStyle, QStringLiteral("font-face"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), font.family);
    xml.writeAttribute(kSvg, QStringLiteral("font-family"), QLatin1Char('\'') + font.family + QLatin1Char('\''));
    xml.writeEndElement();
}

void writeTextProperties(QXmlStreamWriter &xml, const DocumentFont &font)
{
    const QString size = QString::number(font.points) + QStringLiteral("pt");
    const QString weight = font.bold ? QStringLiteral("bold") : QStringLiteral("normal");
    xml.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
    for (const QString &script : {QString(), QStringLiteral("-asian"), QStringLiteral("-complex")}) {
        xml.writeAttribute(kStyle, QStringLiteral("font-name") + script, font.family);
        const QString &ns = script.isEmpty() ? kFo : kStyle;
        xml.writeAttribute(ns, QStringLiteral("font-size") + script, size);
        xml.writeAttribute(ns, QStringLiteral("font-weight") + script, weight);
    }
    xml.writeAttribute(kStyle, QStringLiteral("language-asian"), QStringLiteral("zh"));
    xml.writeAttribute(kStyle, QStringLiteral("country-asian"), QStringLiteral("CN"));
}

QByteArray stylesXml(const DocumentFont &font)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    startDocument(xml, QStringLiteral("document-styles"));
    writeFontFace(xml, font);
    xml.writeStartElement(kOffice, QStringLiteral("styles"));

    xml.writeStartElement(kStyle, QStringLiteral("default-style"));
    xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    writeTextProperties(xml, font);
    xml.writeEndElement();

    xml.writeStartElement(kStyle, QStringLiteral("style"));
    xml.writeAttribute(kStyle, QStringLiteral("name"), kParagraphStyle);
    xml.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    xml.writeAttribute(kStyle, QStringLiteral("class"), QStringLiteral("text"));
    writeTextProperties(xml, font);
    xml.writeEndElement();

    xml.writeEndElement(); // styles
    xml.writeEndDocument();
    return out;
}

bool xmlCanCarry(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20)
        return u == '\t';
    return u != 0xfffe && u != 0xffff;
}

void writeSpaces(QXmlStreamWriter &xml, qsizetype count)
{
    xml.writeEmptyElement(kText, QStringLiteral("s"));
    if (count > 1)
        xml.writeAttribute(kText, QStringLiteral("c"), QString::number(count));
}

// A paragraph's spaces survive only as text:s elements, except one space between two words;
// a word processor would otherwise drop leading and repeated ones.
void writeParagraph(QXmlStreamWriter &xml, const QString &line)
{
    xml.writeStartElement(kText, QStringLiteral("p"));
    xml.writeAttribute(kText, QStringLiteral("style-name"), kParagraphStyle);
    QString run;
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line.at(i);
        if (c == QLatin1Char(' ')) {
            qsizetype end = i;
            while (end < line.size() && line.at(end) == QLatin1Char(' '))
                ++end;
            const bool between = i > 0 && line.at(i - 1) != QLatin1Char('\t') && end < line.size()
                                 && line.at(end) != QLatin1Char('\t');
            qsizetype count = end - i;
            if (between) {
                run.append(QLatin1Char(' '));
                --count;
            }
            if (count > 0) {
                xml.writeCharacters(run);
                run.clear();
                writeSpaces(xml, count);
            }
            i = end;
            continue;
        }
        if (c == QLatin1Char('\t')) {
            xml.writeCharacters(run);
            run.clear();
            xml.writeEmptyElement(kText, QStringLiteral("tab"));
        } else if (c.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
            run.append(c);
            run.append(line.at(++i));
        } else if (xmlCanCarry(c) && !c.isSurrogate()) {
            run.append(c);
        }
        ++i;
    }
    xml.writeCharacters(run);
    xml.writeEndElement();
}

QByteArray contentXml(const QString &text, const DocumentFont &font)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    startDocument(xml, QStringLiteral("document-content"));
    writeFontFace(xml, font);
    xml.writeStartElement(kOffice, QStringLiteral("body"));
    xml.writeStartElement(kOffice, QStringLiteral("text"));
    for (const QString &line : printLines(text))
        writeParagraph(xml, line);
    xml.writeEndElement(); // text
    xml.writeEndElement(); // body
    xml.writeEndDocument();
    return out;
}

QByteArray manifestXml()
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeNamespace(kManifest, QStringLiteral("manifest"));
    xml.writeStartDocument();
    xml.writeStartElement(kManifest, QStringLiteral("manifest"));
    xml.writeAttribute(kManifest, QStringLiteral("version"), kVersion);
    auto entry = [&](const QString &path, const QString &type) {
        xml.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
        xml.writeAttribute(kManifest, QStringLiteral("full-path"), path);
        if (path == QStringLiteral("/"))
            xml.writeAttribute(kManifest, QStringLiteral("version"), kVersion);
        xml.writeAttribute(kManifest, QStringLiteral("media-type"), type);
    };
    entry(QStringLiteral("/"), kMimeType);
    entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
    entry(QStringLiteral("styles.xml"), QStringLiteral("text/xml"));
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace

QByteArray odtTextDocument(const QString &text, const DocumentFont &font)
{
    StoredZipWriter zip;
    zip.add(QStringLiteral("mimetype"), kMimeType.toLatin1()); // first and stored, so tools can sniff it
    zip.add(QStringLiteral("META-INF/manifest.xml"), manifestXml());
    zip.add(QStringLiteral("content.xml"), contentXml(text, font));
    zip.add(QStringLiteral("styles.xml"), stylesXml(font));
    return zip.finish();
}

} // namespace herbs
