#pragma once

#include <QString>

// The XML namespaces of the OpenDocument files the print hand-off writes (and its tests read).
namespace herbs::odt {

inline const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
inline const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
inline const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
inline const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
inline const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
inline const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");

} // namespace herbs::odt
