#pragma once

#include <QString>

// Where the build laid out the complete program folder (app, encoder bridge, language file).
inline QString programFolder()
{
    return QStringLiteral(REELPOCKET_PROGRAM_DIR);
}
