#pragma once

#include <QByteArray>

#include <chrono>

namespace htmlhelp {

// chmlib trusts the numbers a help file gives about its own layout: some damaged files make it
// divide by zero or follow a null pointer. Before the viewer reads a file, the check program
// installed beside the viewer library (quorbelix-chmcheck) reads every object in it; a file
// that crashes or stalls the check is damaged. NotProbed: the check could not be run.
enum class ChmProbeResult { Readable, Damaged, NotProbed };

// Checks the open file fd (a regular file) within timeout. The check program gets that file
// as its only open file besides /dev/null, and an environment of its own.
ChmProbeResult probeChmFile(int fd, std::chrono::milliseconds timeout);

// The check program's path: beside the file (library or program) this code was loaded from.
QByteArray chmCheckProgram();

}  // namespace htmlhelp
