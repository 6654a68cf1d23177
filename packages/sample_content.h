#pragma once
// The content that ships inside the executable (a sample tile library, the pattern
// pack, the manual and three sample photos) and its installation on first start.
//
// The content lives under a resource root as files named after their resources:
// "Resource_1" (zip of the sample library), "Resource_2" (zip of the pattern pack),
// "Resource_3" (the manual, PDF) and "pngimage_1".."pngimage_3" (sample photos). The
// application's root is ":/content"; tests pass a folder of their own.

#include "platform/result.h"

#include <QByteArray>
#include <QString>

class Progress;
class Workspace;

// The extraction window as the installer sees it: shown with a caption before a package
// is extracted, reporting through the Progress it is, closed at the end.
class ExtractionMonitor {
public:
    virtual ~ExtractionMonitor() = default;
    virtual void showPackage(const QString& caption) = 0;
    virtual Progress* progress() = 0;
    virtual void close() = 0;
};

inline QString EmbeddedContentRoot() { return QStringLiteral(":/content"); }

// The bytes of one embedded resource; empty when it is missing.
QByteArray ReadEmbeddedContent(const QString& resourceRoot, const QString& name);

// Writes the manual once, rewrites both zips every time, and extracts the sample library
// when its folder is missing and the pattern pack when "20_Ellipse.pat" is missing. The
// library is extracted into a temporary folder that is renamed only when complete, so
// an interrupted first start is repaired by the next one. Each step is attempted even
// when an earlier one failed; the first failure is returned.
Status InstallSampleContent(Workspace& ws, const QString& resourceRoot, ExtractionMonitor* monitor);
