#pragma once
// The bundled text font. Call once after the QGuiApplication exists; drawing code then
// uses TextFontFamily().

#include <QString>

inline QString TextFontFamily() { return QStringLiteral("DejaVu Sans"); }

// Registers the bundled DejaVu Sans (regular and bold). Returns false if the font data
// could not be registered; text then falls back to the system's default family.
bool RegisterBundledFonts();
