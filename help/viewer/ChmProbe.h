#pragma once

#include <QByteArray>

#include <chrono>

// chmlib trusts the numbers a help file gives about its own layout: some damaged files make it
// divide by zero or follow a null pointer. Before the viewer opens a file, a child process
// opens it and reads every object in it; a file that crashes or stalls the child is damaged.
enum class ChmProbeResult { Readable, Damaged, NotProbed };

ChmProbeResult probeChmFile(const QByteArray& localPath, std::chrono::milliseconds timeout);
