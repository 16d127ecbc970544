#include "print_office.h"

#include "herbs/odt_namespaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

using namespace herbs::odt;

// A fresh profile starts slowly, and the test machines are shared.
constexpr int kConversionTimeoutMs = 240000;

} // namespace

HeadlessOffice::HeadlessOffice() = default;

QString HeadlessOffice::program()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

QByteArray HeadlessOffice::convert(const QString &document, const QString &filter,
                                   const QString &extension, QString *error)
{
    const QString office = program();
    if (office.isEmpty()) {
        *error = QStringLiteral("LibreOffice (soffice) is not on PATH");
        return {};
    }
    const QString outDir = m_output.filePath(QString::number(++m_runs));
    QDir().mkpath(outDir);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(office, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                           QStringLiteral("-env:UserInstallation=")
                               + QUrl::fromLocalFile(m_profile.path()).toString(QUrl::FullyEncoded),
                           QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir,
                           document});
    if (!process.waitForFinished(kConversionTimeoutMs)) {
        process.kill();
        process.waitForFinished(10000);
        *error = QStringLiteral("the conversion did not finish: ") + QString::fromUtf8(process.readAll());
        return {};
    }
    const QString log = QString::fromUtf8(process.readAll());
    QFile result(outDir + QLatin1Char('/') + QFileInfo(document).completeBaseName() + QLatin1Char('.')
                 + extension);
    if (process.exitStatus() != QProcess::NormalExit || !result.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no converted file (exit code %1): %2").arg(process.exitCode()).arg(log);
        return {};
    }
    return result.readAll();
}

namespace {


struct Style {
    QString parent;
    QHash<QString, QString> text; // text-properties, keyed "ns|name"
};

QString key(const QString &ns, const QString &name)
{
    return ns + QLatin1Char('|') + name;
}

class FlatDocument {
public:
    explicit FlatDocument(const QByteArray &xml)
    {
        QXmlStreamReader reader(xml);
        QString currentStyle;
        int paragraph = 0;
        QString paragraphStyle;
        bool inBody = false; // headers and footers of the page styles hold paragraphs too
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto attrs = reader.attributes();
            const auto ns = reader.namespaceUri();
            const auto name = reader.name();
            if (ns == kOffice && name == QLatin1String("body")) {
                inBody = true;
            } else if (ns == kStyle && name == QLatin1String("font-face")) {
                QString family = attrs.value(kSvg, QStringLiteral("font-family")).toString();
                if (family.size() >= 2 && family.startsWith(QLatin1Char('\'')) && family.endsWith(QLatin1Char('\'')))
                    family = family.mid(1, family.size() - 2);
                m_fontFaces.insert(attrs.value(kStyle, QStringLiteral("name")).toString(), family);
            } else if (ns == kStyle && name == QLatin1String("default-style")) {
                currentStyle = QStringLiteral("default|") + attrs.value(kStyle, QStringLiteral("family")).toString();
                m_styles[currentStyle] = Style{};
            } else if (ns == kStyle && name == QLatin1String("style")) {
                currentStyle = attrs.value(kStyle, QStringLiteral("family")).toString() + QLatin1Char('|')
                               + attrs.value(kStyle, QStringLiteral("name")).toString();
                const QString parent = attrs.value(kStyle, QStringLiteral("parent-style-name")).toString();
                m_styles[currentStyle] = Style{
                    parent.isEmpty() ? QString() : attrs.value(kStyle, QStringLiteral("family")).toString()
                                                       + QLatin1Char('|') + parent,
                    {}};
            } else if (ns == kStyle && name == QLatin1String("text-properties") && !currentStyle.isEmpty()) {
                for (const QXmlStreamAttribute &attr : attrs)
                    m_styles[currentStyle].text.insert(key(attr.namespaceUri().toString(), attr.name().toString()),
                                                       attr.value().toString());
            } else if (inBody && ns == kText && (name == QLatin1String("p") || name == QLatin1String("h"))) {
                ++paragraph;
                paragraphStyle = QStringLiteral("paragraph|") + attrs.value(kText, QStringLiteral("style-name")).toString();
                m_runs.append({QStringLiteral("paragraph %1").arg(paragraph), paragraphStyle, {}});
            } else if (inBody && ns == kText && name == QLatin1String("span")) {
                m_runs.append({QStringLiteral("span in paragraph %1").arg(paragraph),
                               QStringLiteral("text|") + attrs.value(kText, QStringLiteral("style-name")).toString(),
                               paragraphStyle});
            }
        }
    }

    QList<TextFont> fonts() const
    {
        QList<TextFont> fonts;
        for (const Run &run : m_runs) {
            auto value = [&](const QString &ns, const QString &name) {
                QString found = lookup(run.style, ns, name);
                if (found.isEmpty() && !run.paragraphStyle.isEmpty())
                    found = lookup(run.paragraphStyle, ns, name);
                return found;
            };
            fonts.append({run.where,
                          m_fontFaces.value(value(kStyle, QStringLiteral("font-name"))),
                          m_fontFaces.value(value(kStyle, QStringLiteral("font-name-asian"))),
                          value(kFo, QStringLiteral("font-size")),
                          value(kStyle, QStringLiteral("font-size-asian")),
                          value(kFo, QStringLiteral("font-weight")),
                          value(kStyle, QStringLiteral("font-weight-asian"))});
        }
        return fonts;
    }

private:
    struct Run {
        QString where;
        QString style;
        QString paragraphStyle; // for a span: the paragraph it sits in
    };

    // Along the parent chain, then the family's default style.
    QString lookup(const QString &style, const QString &ns, const QString &name) const
    {
        const QString k = key(ns, name);
        QString current = style;
        for (int depth = 0; !current.isEmpty() && depth < 50; ++depth) {
            const auto it = m_styles.constFind(current);
            if (it == m_styles.constEnd())
                break;
            if (it->text.contains(k))
                return it->text.value(k);
            current = it->parent;
        }
        if (style.startsWith(QLatin1String("paragraph|")))
            return m_styles.value(QStringLiteral("default|paragraph")).text.value(k);
        return {};
    }

    QHash<QString, QString> m_fontFaces;
    QHash<QString, Style> m_styles;
    QList<Run> m_runs;
};

} // namespace

QList<TextFont> bodyFonts(const QByteArray &flatDocument)
{
    return FlatDocument(flatDocument).fonts();
}
