#include "segtest/examplefiles.h"

namespace orvane {

QString auxiliaryPath(const QString &mainPath)
{
    return mainPath + QStringLiteral(".ext");
}

bool writeExample(const QString &mainPath, const QTextDocument &document, const QString &marks, QString *error)
{
    (void)mainPath, (void)document, (void)marks;
    if (error)
        *error = QStringLiteral("not yet");
    return false;
}

} // namespace orvane
