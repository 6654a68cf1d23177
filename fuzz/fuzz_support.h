#pragma once
// What the fuzz targets share: a Qt environment without a display, a scratch folder on
// a memory file system, a small working library whose tiles have ready pictures, and
// the checks that turn a broken promise into a crash the fuzzer records.

#include "tilelib/tilelib.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// An offscreen QGuiApplication (text drawing needs one) and the bundled fonts. Call
// from LLVMFuzzerInitialize.
void InitFuzzEnvironment(int* argc, char*** argv);

// A folder of this process's own, on /dev/shm when there is one, removed at exit.
QString FuzzScratchFolder();

// Aborts with the message when `condition` does not hold.
void FuzzCheck(bool condition, const char* what);
// A refusal must say what is wrong and name the file.
void FuzzCheckRefusal(const QString& message, const QString& fileName);

// Fills `lib` with `count` tiles (8 x 8 pictures of distinct colours, measured, enabled)
// whose ready pictures are written under `folder`, which becomes its root.
void MakeFuzzLibrary(TTilelib& lib, const QString& folder, int count);

inline QByteArray FuzzBytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
