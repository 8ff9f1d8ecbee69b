#pragma once
#include <QString>

namespace updater {

// Ends every running process whose executable is exactly this file: asked first (SIGTERM),
// killed when still running after graceMs. Returns how many were found. Processes of
// other programs, whatever their names, are left alone.
int StopProgram(const QString& executable, int graceMs = 3000);

} // namespace updater
